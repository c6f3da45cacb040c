// Everything a frame draws along the track: rail vertices, tie poses, car and
// wheel-set poses, laid out when a frame first asks for them and kept while
// the track and the train stay the same. No GL here: the drawing walks these
// arrays and issues the GL calls itself.
#pragma once

#include <array>
#include <vector>

#include "scene/train.h"
#include "track/control_point.h"
#include "track/point3.h"
#include "track/track.h"
#include "track/track_sampler.h"
#include "track/track_watch.h"
#include "track/walk_grid.h"

// Where something sits on the track and how it is turned there (degrees). The
// drawing turns by heading about +y, then pitch about +x, then -roll about +z.
struct TrackPose {
    Point3 position;
    double heading = 0.0;
    double pitch = 0.0;
    double roll = 0.0;
};

// A tie's centre, already dropped below the rails along the up vector and
// narrowed to float, ready for glTranslatef; u is the tie's curve parameter.
struct TiePose {
    float u = 0.0f;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    double heading = 0.0;
    double pitch = 0.0;
    double roll = 0.0;
};

// One car: its parameter, those of its wheel sets, and the three poses, all on
// the track itself (the drawing lifts the body along the car's own up axis).
struct CarPose {
    float u = 0.0f;
    float front_u = 0.0f;
    float rear_u = 0.0f;
    TrackPose body;
    TrackPose front;
    TrackPose rear;
};

// Holds all storage from construction on, so build() never allocates. Every
// number equals what the Track's own queries give for the same frame.
//
// The rails and ties depend on the track alone (curve type, tension, points
// with their rolls, handles), the cars on car_u as well. A
// build on a track that equals the previous build's bit for bit keeps the
// rails and ties it has, so an animation frame only walks the train.
class FrameLayout {
public:
    static constexpr int kRailSamplesPerSegment = 20;
    static constexpr int kMaxRailVertices = kRailSamplesPerSegment * Track::kMaxPoints;
    // Ties laid at most: one per sample of the walk grid of a 100-point ring
    // (20002; a ring of n points holds no more than its own grid's samples).
    static constexpr int kMaxTies = track_math::samples_per_lap(Track::kMaxPoints);

    FrameLayout();

    // Lays out the frame of this track and train. The view calls it from each
    // draw routine that needs the layout (the rails, the ties, the cars), in a
    // pick as in a frame, so only the first call of a frame can find anything
    // changed; a call that finds the track and the train as the last one left
    // them lays nothing out. num_cars is clamped to 0..Train::kMaxCars.
    void build(const Track& track, float car_u, int num_cars);
    // Makes the next build lay everything out afresh even on an unchanged
    // track and train.
    void forget_track() {
        laid_for_.forget();
        have_train_ = false;
    }

    // Rails: closed loops of rail_vertex_count() vertices each
    // (kRailSamplesPerSegment per segment), half a gauge either side of the
    // curve, level across the heading and tilted by the bank (pitch aside).
    int rail_vertex_count() const { return rail_vertices_; }
    const Point3* left_rail() const { return left_rail_.data(); }
    const Point3* right_rail() const { return right_rail_.data(); }

    int tie_count() const { return ties_; }
    const TiePose* ties() const { return tie_poses_.data(); }

    int car_count() const { return cars_; }
    const CarPose* cars() const { return car_poses_.data(); }

    double track_length() const { return length_; }

    // The cache behind the last build; the same frame may ask it more.
    TrackSampler& sampler() { return sampler_; }

private:
    void build_rails();
    void build_ties();
    void build_cars(float car_u);
    TrackPose pose_at(float u);

    TrackSampler sampler_;
    std::vector<Point3> left_rail_;
    std::vector<Point3> right_rail_;
    std::vector<TiePose> tie_poses_;
    std::vector<CarPose> car_poses_;
    int rail_vertices_ = 0;
    int ties_ = 0;
    int cars_ = 0;
    double length_ = 0.0;

    // Samples of the walk grid of a ring of grid_points_ points.
    int grid_points_ = 0;
    int grid_samples_ = 0;

    // The train the cars were laid for.
    bool have_train_ = false;
    float seen_car_u_ = 0.0f;

    // The track the rails and ties were laid for.
    TrackWatch laid_for_;
};
