// The track itself: two grey rails beside the curve and brown ties spaced
// evenly by arc length, all recomputed from the track's queries every frame.
#include "view/coaster_window.h"

#include <FL/gl.h>

#include <cmath>

#include "view/box.h"
#include "view/draw_util.h"

namespace {

constexpr double kRailHalfGauge = 0.375;
constexpr int kRailSamplesPerSegment = 20;
constexpr double kTieSpacing = 0.65;
// Degrees to radians with the same pi as the track's own angle queries, so
// the rails sit where the ties and cars put them.
constexpr double kRailDegreesToRadians = 3.14159 / 180.0;

// One rail: a closed polyline side * half gauge away from the curve, where the
// side direction is the heading's horizontal normal tilted by the roll.
void draw_rail(const Track& track, double side) {
    const int n = track.num_points();
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < kRailSamplesPerSegment; ++j) {
            const float u = static_cast<float>(i + 0.05 * j);
            const Point3 p = track.position_at(u);
            const double h = track.heading_at(u) * kRailDegreesToRadians;
            const double r = -track.roll_at(u) * kRailDegreesToRadians;
            const double x = p.x + side * kRailHalfGauge * std::cos(h) * std::cos(r);
            const double y = p.y + side * kRailHalfGauge * std::sin(r);
            const double z = p.z - side * kRailHalfGauge * std::sin(h) * std::cos(r);
            if (all_finite(x, y, z)) {
                glVertex3d(x, y, z);
            }
        }
    }
    glEnd();
}

} // namespace

void CoasterWindow::draw_rails() {
    glPushMatrix();
    glLineWidth(4.0f);
    glColor3f(0.4f, 0.4f, 0.42f);
    draw_rail(track, 1.0);
    draw_rail(track, -1.0);
    glPopMatrix();
}

void CoasterWindow::draw_ties() {
    const double length = track.length();
    const double wanted = length / kTieSpacing - 0.25;
    // The walk never needs more ties than there are 0.005 parameter steps in
    // the ring (advance moves at least one step per tie); a point dragged far
    // away makes the length huge and this bound keeps the frame finite.
    const double most = track.num_points() / 0.005;
    if (!(wanted >= 1.0)) {
        return; // no tie, also for a non-finite length
    }
    const int count = static_cast<int>(wanted < most ? wanted : most);

    glColor3f(0.6196f, 0.4039f, 0.1137f);
    float u = 0.0f;
    float first_tie = 0.0f;
    bool wrapped = false;
    for (int k = 0; k < count; ++k) {
        const float next = track.advance(kTieSpacing, u);
        // The last tie may land just past the start of the ring (advance
        // measures a little more length than length() does), but a walk that
        // comes round to the first tie again would only lay a second lap.
        if (next < u) {
            wrapped = true;
        }
        if (k == 0) {
            first_tie = next;
        } else if (wrapped && next >= first_tie) {
            break;
        }
        u = next;
        const Point3 p = track.position_at(u);
        const Point3 up = track.up_at(u);
        const double pitch = track.pitch_at(u);
        const double heading = track.heading_at(u);
        const double roll = track.roll_at(u);
        const float x = static_cast<float>(p.x - 0.1 * up.x);
        const float y = static_cast<float>(p.y - 0.1 * up.y);
        const float z = static_cast<float>(p.z - 0.1 * up.z);
        if (!all_finite(x, y, z, pitch, heading, roll)) {
            continue;
        }
        glPushMatrix();
        glTranslatef(x, y, z);
        glRotated(heading, 0.0, 1.0, 0.0);
        glRotated(pitch, 1.0, 0.0, 0.0);
        glRotated(-roll, 0.0, 0.0, 1.0);
        glEnable(GL_DEPTH_TEST);
        glBegin(GL_QUADS);
        box_quads(-0.5, -0.05, -0.125, 0.5, 0.05, 0.125);
        glEnd();
        glPopMatrix();
    }
}
