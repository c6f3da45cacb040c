// The train: for each car the frame layout placed, an open-topped body and
// two wheel sets on the rails.
#include "view/coaster_window.h"

#include "view/draw_util.h"
#include "view/quadrics.h"

namespace {

struct BodyQuad {
    float normal[3]; // only read for the first quad of each normal group
    float v[4][3];
};

// The body in car coordinates: +z forward, +y up, x across; the block is 1
// wide, 1 high and 2 long with a seat, a foot well and a nose.
constexpr BodyQuad kBody[28] = {
    {{0, 1, 0}, {{0.5, 0.5, -1}, {0.5, 0.5, -0.85}, {-0.5, 0.5, -0.85}, {-0.5, 0.5, -1}}},
    {{0, 1, 0}, {{0.5, 0.5, -0.85}, {0.5, 0.5, 0}, {0.35, 0.5, 0}, {0.35, 0.5, -0.85}}},
    {{0, 1, 0}, {{-0.35, 0.5, -0.85}, {-0.35, 0.5, 0}, {-0.5, 0.5, 0}, {-0.5, 0.5, -0.85}}},
    {{0, 1, 0}, {{0.5, 0.25, 0.85}, {0.5, 0.25, 1}, {-0.5, 0.25, 1}, {-0.5, 0.25, 0.85}}},
    {{0, 1, 0}, {{0.5, -0.25, 0}, {0.5, -0.25, 0.85}, {0.35, -0.25, 0.85}, {0.35, -0.25, 0}}},
    {{0, 1, 0}, {{-0.35, -0.25, 0}, {-0.35, -0.25, 0.85}, {-0.5, -0.25, 0.85}, {-0.5, -0.25, 0}}},
    {{0, 1, 0},
     {{0.35, -0.375, -0.2}, {0.35, -0.375, 0.85}, {-0.35, -0.375, 0.85}, {-0.35, -0.375, -0.2}}},
    {{0, 1, 0}, {{0.35, 0, -0.85}, {0.35, 0, -0.2}, {-0.35, 0, -0.2}, {-0.35, 0, -0.85}}},
    {{0, -1, 0}, {{0.5, -0.5, -1}, {0.5, -0.5, 1}, {-0.5, -0.5, 1}, {-0.5, -0.5, -1}}},
    {{0, 0, 1}, {{-0.5, 0.25, 1}, {0.5, 0.25, 1}, {0.5, -0.5, 1}, {-0.5, -0.5, 1}}},
    {{0, 0, 1}, {{0.35, 0.5, -0.85}, {0.35, 0, -0.85}, {-0.35, 0, -0.85}, {-0.35, 0.5, -0.85}}},
    {{0, 0, 1}, {{0.35, 0, -0.2}, {0.35, -0.375, -0.2}, {-0.35, -0.375, -0.2}, {-0.35, 0, -0.2}}},
    {{0, 0, 1}, {{0.5, 0.5, 0}, {0.5, -0.25, 0}, {0.35, -0.25, 0}, {0.35, 0.5, 0}}},
    {{0, 0, 1}, {{-0.35, 0.5, 0}, {-0.35, -0.25, 0}, {-0.5, -0.25, 0}, {-0.5, 0.5, 0}}},
    {{0, 0, -1}, {{-0.5, -0.5, -1}, {-0.5, 0.5, -1}, {0.5, 0.5, -1}, {0.5, -0.5, -1}}},
    {{0, 0, -1},
     {{0.5, 0.25, 0.85}, {0.5, -0.375, 0.85}, {-0.5, -0.375, 0.85}, {-0.5, 0.25, 0.85}}},
    {{-1, 0, 0}, {{-0.5, 0.5, -1}, {-0.5, 0.5, 0}, {-0.5, -0.5, 0}, {-0.5, -0.5, -1}}},
    {{-1, 0, 0}, {{0.35, 0.5, -1}, {0.35, 0.5, 0}, {0.35, -0.5, 0}, {0.35, -0.5, -1}}},
    {{-1, 0, 0}, {{-0.5, -0.25, 0}, {-0.5, -0.25, 0.85}, {-0.5, -0.5, 0.85}, {-0.5, -0.5, 0}}},
    {{-1, 0, 0}, {{0.35, -0.25, 0}, {0.35, -0.25, 0.85}, {0.35, -0.5, 0.85}, {0.35, -0.5, 0}}},
    {{-1, 0, 0}, {{-0.5, 0.25, 0.85}, {-0.5, 0.25, 1}, {-0.5, -0.5, 1}, {-0.5, -0.5, 0.85}}},
    {{-1, 0, 0}, {{0.35, 0.25, 0.85}, {0.35, 0.25, 1}, {0.35, -0.5, 1}, {0.35, -0.5, 0.85}}},
    {{1, 0, 0}, {{0.5, 0.5, -1}, {0.5, 0.5, 0}, {0.5, -0.5, 0}, {0.5, -0.5, -1}}},
    {{1, 0, 0}, {{-0.35, 0.5, -1}, {-0.35, 0.5, 0}, {-0.35, -0.5, 0}, {-0.35, -0.5, -1}}},
    {{1, 0, 0}, {{0.5, -0.25, 0}, {0.5, -0.25, 0.85}, {0.5, -0.5, 0.85}, {0.5, -0.5, 0}}},
    {{1, 0, 0}, {{-0.35, -0.25, 0}, {-0.35, -0.25, 0.85}, {-0.35, -0.5, 0.85}, {-0.35, -0.5, 0}}},
    {{1, 0, 0}, {{0.5, 0.25, 0.85}, {0.5, 0.25, 1}, {0.5, -0.5, 1}, {0.5, -0.5, 0.85}}},
    {{1, 0, 0}, {{-0.35, 0.25, 0.85}, {-0.35, 0.25, 1}, {-0.35, -0.5, 1}, {-0.35, -0.5, 0.85}}},
};

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
    d.translate(0.0f, 0.7f, 0.0f);
    d.begin(GL_QUADS);
    d.colour(0.0f, 0.27451f, 0.7059f);
    for (int q = 0; q < 28; ++q) {
        const BodyQuad& quad = kBody[q];
        if (q == 0 || !same_normal(quad, kBody[q - 1])) {
            d.normal(quad.normal[0], quad.normal[1], quad.normal[2]);
        }
        for (const auto& v : quad.v) {
            d.vertex(v[0], v[1], v[2]);
        }
    }
    d.end();
    d.pop_matrix();
}

struct WheelPiece {
    float z;
    bool disk; // else the tread cylinder, 0.1 long along +z
};

// After the wheel set's turn by 90 degrees, local z runs across the track:
// each side gets two disks closing a short cylinder, centred 0.375 out.
constexpr WheelPiece kWheelPieces[6] = {{0.325f, true},  {0.425f, true},  {0.325f, false},
                                        {-0.325f, true}, {-0.425f, true}, {-0.425f, false}};

// Sets the wheels' and then the axle's colour and the axle's line width, and
// leaves them so.
void draw_wheel_set(DrawList& d, const TrackPose& pose) {
    d.colour(0.6275f, 0.4902f, 0.0f);
    d.push_matrix();
    d.translate(static_cast<float>(pose.position.x), static_cast<float>(pose.position.y),
                static_cast<float>(pose.position.z));
    turn_to(d, pose);
    d.rotate(90.0f, 0.0f, 1.0f, 0.0f);
    for (const WheelPiece& piece : kWheelPieces) {
        d.push_matrix();
        d.translate(0.0f, 0.15f, piece.z);
        if (piece.disk) {
            disk(d, 0.0, 0.15, 8, 1);
        } else {
            cylinder(d, 0.15, 0.15, 0.1, 8, 1);
        }
        d.pop_matrix();
    }
    // The axle keeps the normal the last cylinder left.
    d.colour(0.4f, 0.4f, 0.42f);
    d.line_width(3.0f);
    d.begin(GL_LINE_STRIP);
    d.vertex(0.0f, 0.15f, -0.375f);
    d.vertex(0.0f, 0.15f, 0.375f);
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
