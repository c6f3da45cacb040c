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
    explicit OrbitCamera(const Track* track); // only stores the pointer
    virtual ~OrbitCamera() = default;

    virtual bool zoom_in();  // distance -0.2, not below 2
    virtual bool zoom_out(); // distance +0.2, not above 100
    virtual void set_distance(double d);
    virtual void set_elevation(double e);
    virtual void set_azimuth(double a);
    virtual double elevation() const { return elevation_; }
    virtual double azimuth() const { return azimuth_; }
    virtual double distance() const { return distance_; }
    virtual Point3* target() { return &target_; }
    virtual void set_eye(double x, double y, double z);
    virtual bool increase_azimuth(); // +4, wraps below 360
    virtual bool decrease_azimuth(); // -4, wraps at or above 0
    virtual bool increase_elevation(); // +4, up to 90
    virtual bool decrease_elevation(); // -4, down to -90
    virtual void set_target(double x, double y, double z);
    virtual void set_up(double x, double y, double z);
    // The viewing transform: the orbit view, or the ride view from the front
    // car at car_u. The ride view leaves the orbit state untouched.
    virtual LookAt look(float car_u, bool look_from_car);
    virtual double eye_x() const { return eye_.x; }
    virtual double eye_y() const { return eye_.y; }
    virtual double eye_z() const { return eye_.z; }

    void update_eye();
    void raise_target(); // target.y += 0.2, eye stays
    void lower_target(); // target.y -= 0.2, eye stays

    const Point3& up() const { return up_; }
    // Results of the last ride-view look.
    const Point3& ride_position() const { return ride_position_; }
    const Point3& ride_up() const { return ride_up_; }
    const Point3& ahead_position() const { return ahead_position_; }
    const Point3& ahead_up() const { return ahead_up_; }

private:
    Point3 eye_;
    Point3 target_{0.0, 3.0, 0.0};
    Point3 up_{0.0, 1.0, 0.0};
    double distance_ = 15.0;
    double elevation_ = 30.0;
    double azimuth_ = 90.0;
    const Track* track_;
    Point3 ride_position_;
    Point3 ride_up_;
    Point3 ahead_position_;
    Point3 ahead_up_;
};
