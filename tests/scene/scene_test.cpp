// The scene's commands and selection: limits, what each changes, and which
// selections survive a change of the point count.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "scene/scene.h"

namespace {

using Kind = Selection::Kind;

TEST(Selection, NamesResolveToTheObjectTheyDenoteAndGapsToNothing) {
    struct Case {
        int name;
        Kind kind;
        int index;
    };
    // Five points (handle names 5 to 14) and two generators.
    const Case cases[] = {
        {-1, Kind::nothing, -1},  {0, Kind::point, 0},         {4, Kind::point, 4},
        {5, Kind::handle, 0},     {14, Kind::handle, 9},       {15, Kind::nothing, -1},
        {300, Kind::nothing, -1}, {301, Kind::light, -1},      {302, Kind::nothing, -1},
        {399, Kind::nothing, -1}, {400, Kind::generator, 0},   {401, Kind::generator, 1},
        {402, Kind::nothing, -1}, {100000, Kind::nothing, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("name " + std::to_string(c.name));
        const Selection s = Selection::from_name(c.name, 5, 2);
        EXPECT_EQ(s.kind(), c.kind);
        EXPECT_EQ(s.index(), c.index);
        EXPECT_EQ(s.name(), c.kind == Kind::nothing ? kNoName : c.name);
    }
}

TEST(SceneCommands, CarsStayWithinOneToEight) {
    Scene scene;
    EXPECT_FALSE(scene.remove_car());
    for (int cars = 2; cars <= Train::kMaxCars; ++cars) {
        EXPECT_TRUE(scene.add_car());
        EXPECT_EQ(scene.train().cars, cars);
    }
    EXPECT_FALSE(scene.add_car());
    EXPECT_EQ(scene.train().cars, 8);
    while (scene.remove_car()) {
    }
    EXPECT_EQ(scene.train().cars, 1);
}

TEST(SceneCommands, PointsStayWithinFourToHundredAndResampleTheRing) {
    Scene scene;
    EXPECT_FALSE(scene.remove_point());
    EXPECT_EQ(scene.track().point(0).x, -2.501);
    for (int n = 5; n <= Track::kMaxPoints; ++n) {
        ASSERT_TRUE(scene.add_point());
        ASSERT_EQ(scene.track().num_points(), n);
    }
    const ControlPoint last = scene.track().point(99);
    EXPECT_FALSE(scene.add_point());
    EXPECT_EQ(scene.track().point(99).x, last.x);
    EXPECT_TRUE(scene.remove_point());
    EXPECT_EQ(scene.track().num_points(), 99);
}

TEST(SceneCommands, VelocitySetsBothSpeedsAndDropsAnyGainedSpeed) {
    Scene scene;
    scene.train().speed = 0.8; // gained on a descent
    scene.set_velocity(0.5);
    EXPECT_EQ(scene.train().speed, 0.5);
    EXPECT_EQ(scene.train().base_speed, 0.5);
    scene.set_velocity(0.0);
    EXPECT_EQ(scene.train().speed, 0.0);
    EXPECT_EQ(scene.train().base_speed, 0.0);
}

TEST(SceneCommands, RollBanksOnlyASelectedControlPoint) {
    Scene scene;
    scene.add_ball_generator();
    scene.select_name(2);
    EXPECT_TRUE(scene.set_selected_roll(45.0));
    EXPECT_EQ(scene.track().point(2).roll, 45.0);
    EXPECT_EQ(scene.selected_roll(), 45.0);

    // Nothing, a handle, the light and a generator: nothing is banked.
    for (int name : {kNoName, 4, 11, kLightName, kFirstGeneratorName}) {
        SCOPED_TRACE("name " + std::to_string(name));
        scene.select_name(name);
        EXPECT_FALSE(scene.set_selected_roll(90.0));
        EXPECT_FALSE(scene.selected_roll().has_value());
    }
    for (int i : {0, 1, 3}) {
        EXPECT_EQ(scene.track().point(i).roll, 0.0);
    }
    EXPECT_EQ(scene.track().point(2).roll, 45.0);
    EXPECT_EQ(scene.light().roll, 0.0);
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(scene.track().bezier_handle(k).roll, 0.0) << "handle " << k;
    }
}

TEST(SceneCommands, ResamplingKeepsAPointThatStillExistsAndDropsHandles) {
    Scene scene;
    scene.add_ball_generator();

    // Point 2 stays point 2, and the roll then banks it.
    scene.select_name(2);
    ASSERT_TRUE(scene.add_point());
    EXPECT_EQ(scene.selection(), Selection::point(2));
    EXPECT_TRUE(scene.set_selected_roll(30.0));
    EXPECT_EQ(scene.track().point(2).roll, 30.0);

    // Point 4 of five is gone once the ring has four.
    scene.select_name(4);
    ASSERT_TRUE(scene.remove_point());
    EXPECT_TRUE(scene.selection().is(Kind::nothing));

    // Every handle is rebuilt, and its name would now denote another one.
    for (bool add : {true, false}) {
        scene.select_name(scene.track().num_points() + 3);
        ASSERT_TRUE(scene.selection().is(Kind::handle));
        ASSERT_TRUE(add ? scene.add_point() : scene.remove_point());
        EXPECT_TRUE(scene.selection().is(Kind::nothing));
    }

    // The light and the generators keep their names.
    for (int name : {kLightName, kFirstGeneratorName}) {
        scene.select_name(name);
        const Selection before = scene.selection();
        scene.add_point();
        scene.remove_point();
        EXPECT_EQ(scene.selection(), before);
    }

    // A refused change keeps even a handle.
    while (scene.remove_point()) {
    }
    scene.select_name(5);
    EXPECT_FALSE(scene.remove_point());
    EXPECT_EQ(scene.selection(), Selection::handle(1, 4));
}

TEST(SceneCommands, TheTrainStaysOnTheRingWhenRemovePointShortensIt) {
    // The car near the end of a five-point ring is drawn where the
    // four-point ring wraps its parameter to; it now carries on from there.
    Scene scene;
    ASSERT_TRUE(scene.add_point());
    scene.train().car_u = 4.5f;
    ASSERT_TRUE(scene.remove_point());
    EXPECT_EQ(scene.train().car_u, 0.5f);
    // In the parameter mode it moves on by one step instead of jumping to
    // the start, as it would from a parameter past the ring's end.
    int now = 0;
    scene.set_clock([&now] { return now; });
    scene.set_constant_velocity(false);
    scene.toggle_animation();
    now = 40;
    ASSERT_TRUE(scene.step());
    EXPECT_FLOAT_EQ(scene.train().car_u, 0.52f);
    // Adding a point never takes the car off the ring.
    scene.train().car_u = 3.99f;
    ASSERT_TRUE(scene.add_point());
    EXPECT_EQ(scene.train().car_u, 3.99f);
}

TEST(SceneCommands, GeneratorsStartAtTheOriginUpToTwenty) {
    Scene scene;
    for (int g = 0; g < Scene::kMaxGenerators; ++g) {
        ASSERT_TRUE(scene.add_ball_generator());
        const ControlPoint& p = scene.generator(g).position();
        EXPECT_EQ(p.x, 0.0);
        EXPECT_EQ(p.y, 0.0);
        EXPECT_EQ(p.z, 0.0);
        // A generator moved away does not pull the next one with it.
        scene.generator(g).position().set_position(g + 1.0, 0.0, -g);
    }
    EXPECT_FALSE(scene.add_ball_generator());
    EXPECT_EQ(scene.num_generators(), 20);
    EXPECT_EQ(scene.generator(19).position().x, 20.0);
}

} // namespace

// Inserting where the track runs selects the new point; a train on the
// edited stretch or past it keeps its place on the track (exactly where the
// shape is kept), and deleting the selected point takes it back. Never above
// 100 points or below 4, nor without a selected point.
TEST(SceneCommands, EditsInPlaceSelectTheNewPointAndKeepTheTrainWhereItIs) {
    // Each type with how far the car may move.
    for (const auto& [type, reach] : {std::pair{CurveType::Linear, 1e-5},
                                      {CurveType::Bezier, 1e-5},
                                      {CurveType::Cardinal, 0.2},
                                      {CurveType::BSpline, 0.01}}) {
        for (float car : {0.25f, 0.75f, 2.5f}) {
            SCOPED_TRACE(testing::Message() << static_cast<int>(type) << " car " << car);
            Scene scene;
            scene.set_curve_type(type);
            scene.train().car_u = car;
            const Point3 at = scene.track().position_at(car);
            ASSERT_TRUE(scene.insert_point(0.5f));
            EXPECT_EQ(scene.selection(), Selection::point(type == CurveType::BSpline ? 2 : 1));
            EXPECT_LT(length(scene.track().position_at(scene.train().car_u) - at), reach);
            ASSERT_TRUE(scene.delete_selected_point());
            EXPECT_TRUE(scene.selection().is(Kind::nothing));
            EXPECT_LT(length(scene.track().position_at(scene.train().car_u) - at), reach);
        }
    }
    Scene scene;
    scene.select_name(1);
    EXPECT_FALSE(scene.delete_selected_point());
    ASSERT_TRUE(scene.insert_point(1.5f));
    scene.select_name(5); // a handle
    EXPECT_FALSE(scene.delete_selected_point());
    while (scene.add_point()) {
    }
    scene.select_name(99);
    EXPECT_FALSE(scene.insert_point(0.5f));
    EXPECT_EQ(scene.selection(), Selection::point(99));
    EXPECT_TRUE(scene.delete_selected_point());
}
