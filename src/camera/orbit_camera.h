// Orbit camera around the world origin and the ride view from the front car.
// Computes viewing transforms as numbers (eye, centre, up); the view hands them
// to gluLookAt, so this library needs no GL context.
#pragma once

#include "track/point3.h"

class Track;

// The nine values of one gluLookAt call.
struct LookAt {
    Point3 eye;
    Point3 centre;
    Point3 up;
};

class OrbitCamera {
public:
    // Looks at (0, 3, 0) from 15 away, 30 degrees up, at azimuth 90 (from +x).
    // Only stores the track, which the ride view reads; it must outlive the camera.
    explicit OrbitCamera(const Track* track);

    // Steering, each within its limits. The zoom and angle steps return whether
    // their value moved (false at a limit). Every step, the target's included,
    // and the angle setters put the eye on the sphere of the current distance,
    // elevation and azimuth (a zoom at its limit aside); set_distance leaves
    // that to the next of them, and set_target and set_up leave the eye alone.
    bool zoom_in();              // one step closer, down to the nearest distance
    bool zoom_out();             // one step farther, up to the farthest distance
    bool increase_azimuth();     // one step round, wrapping to stay within [0, 360)
    bool decrease_azimuth();     // one step back round, wrapping likewise
    bool increase_elevation();   // one step up, to 90 at most
    bool decrease_elevation();   // one step down, to -90 at least
    void raise_target();         // the point looked at rises one step; the eye stays
    void lower_target();         // and sinks one step
    void set_distance(double d); // the eye follows at the next steering step
    void set_elevation(double degrees);
    void set_azimuth(double degrees);
    void set_target(double x, double y, double z);
    void set_up(double x, double y, double z);
    // Places the eye off its sphere, until the next steering step puts it back.
    void set_eye(double x, double y, double z);
    // Puts the eye on the sphere of the current distance, elevation and azimuth.
    void update_eye();

    double elevation() const { return elevation_; }
    double azimuth() const { return azimuth_; }
    double distance() const { return distance_; }
    const Point3& target() const { return target_; }
    const Point3& up() const { return up_; }
    double eye_x() const { return eye_.x; }
    double eye_y() const { return eye_.y; }
    double eye_z() const { return eye_.z; }

    // The viewing transform: the orbit view, or the ride view from above the
    // front car at car_u, looking along the track. The ride view leaves the
    // orbit state untouched.
    LookAt look(float car_u, bool look_from_car) const;

private:
    Point3 eye_;
    Point3 target_{0.0, 3.0, 0.0};
    Point3 up_{0.0, 1.0, 0.0};
    double distance_ = 15.0;
    double elevation_ = 30.0;
    double azimuth_ = 90.0;
    const Track* track_;
};
