#include "scenery/ball_generator.h"
// STUB
Ball::Ball(const ControlPoint* s, double r, const Point3& c) : source_position_(s), radius_(r), colour_(c) {}
void Ball::step() {}
BallGenerator::BallGenerator(const Point3& p) : position_(p.x, p.y, p.z, 0.0) {}
void BallGenerator::update(int, int, std::int64_t) {}
