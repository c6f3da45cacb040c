// The train: for each car the frame layout placed, an open-topped body and
// two wheel sets on the rails.
#include "view/coaster_window.h"

#include "scene/scene_shapes.h"
#include "view/draw_util.h"
#include "view/quadrics.h"

namespace {

using shapes::BodyQuad;
using shapes::kCarBody;

bool same_normal(const BodyQuad& a, const BodyQuad& b) {
    return a.normal[0] == b.normal[0] && a.normal[1] == b.normal[1] && a.normal[2] == b.normal[2];
}

bool pose_ok(const TrackPose& pose) {
    return is_finite(pose.position) && all_finite(pose.heading, pose.pitch, pose.roll);
}

void turn_to(DrawList& d, const TrackPose& pose) {
    d.rotate(static_cast<float>(pose.heading), 0.0f, 1.0f, 0.0f);
    d.rotate(static_cast<float>(pose.pitch), 1.0f, 0.0f, 0.0f);
    d.rotate(static_cast<float>(-pose.roll), 0.0f, 0.0f, 1.0f);
}

// Sets the body's colour and leaves it so.
void draw_body(DrawList& d, const TrackPose& pose) {
    d.push_matrix();
    d.translate(static_cast<float>(pose.position.x), static_cast<float>(pose.position.y),
                static_cast<float>(pose.position.z));
    turn_to(d, pose);
    d.translate(0.0f, shapes::kBodyLift, 0.0f);
    d.begin(GL_QUADS);
    d.colour(shapes::kBodyColour.r, shapes::kBodyColour.g, shapes::kBodyColour.b);
    for (int q = 0; q < 28; ++q) {
        const BodyQuad& quad = kCarBody[q];
        if (q == 0 || !same_normal(quad, kCarBody[q - 1])) {
            d.normal(quad.normal[0], quad.normal[1], quad.normal[2]);
        }
        for (const auto& v : quad.v) {
            d.vertex(v[0], v[1], v[2]);
        }
    }
    d.end();
    d.pop_matrix();
}

// Sets the wheels' and then the axle's colour and the axle's line width, and
// leaves them so.
void draw_wheel_set(DrawList& d, const TrackPose& pose) {
    d.colour(shapes::kWheelColour.r, shapes::kWheelColour.g, shapes::kWheelColour.b);
    d.push_matrix();
    d.translate(static_cast<float>(pose.position.x), static_cast<float>(pose.position.y),
                static_cast<float>(pose.position.z));
    turn_to(d, pose);
    d.rotate(shapes::kWheelTurn, 0.0f, 1.0f, 0.0f);
    for (const shapes::WheelPiece& piece : shapes::kWheelPieces) {
        d.push_matrix();
        d.translate(0.0f, shapes::kWheelLift, piece.z);
        if (piece.disk) {
            disk(d, 0.0, shapes::kWheelRadius, shapes::kWheelSlices, 1);
        } else {
            cylinder(d, shapes::kWheelRadius, shapes::kWheelRadius, shapes::kWheelWidth,
                     shapes::kWheelSlices, 1);
        }
        d.pop_matrix();
    }
    // The axle keeps the normal the last cylinder left.
    d.colour(shapes::kAxleColour.r, shapes::kAxleColour.g, shapes::kAxleColour.b);
    d.line_width(3.0f);
    d.begin(GL_LINE_STRIP);
    d.vertex(0.0f, shapes::kWheelLift, -shapes::kAxleHalf);
    d.vertex(0.0f, shapes::kWheelLift, shapes::kAxleHalf);
    d.end();
    d.pop_matrix();
}

} // namespace

void CoasterWindow::draw_cars() {
    const FrameLayout& frame = layout();
    for (int i = 0; i < frame.car_count(); ++i) {
        const CarPose& car = frame.cars()[i];
        if (pose_ok(car.body)) {
            draw_body(draw_list_, car.body);
        }
        for (const TrackPose* wheels : {&car.front, &car.rear}) {
            if (pose_ok(*wheels)) {
                draw_wheel_set(draw_list_, *wheels);
            }
        }
    }
    draw_list_.flush();
}
