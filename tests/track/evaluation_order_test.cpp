// The curve formulas written out term by term in their fixed grouping, and
// compared bit for bit with the evaluators: the tie spacing and the car
// positions depend on the last bits of every sum.
#include <cmath>

#include <gtest/gtest.h>

#include "track/track.h"
#include "track_test_support.h"

namespace {

struct Split {
    int i;
    double t;
};

Split split(float u) {
    const int i = static_cast<int>(std::floor(static_cast<double>(u)));
    return {i, static_cast<float>(u - i)};
}

Point3 linear(const Track& k, float u) {
    const Split p = split(u);
    const ControlPoint& a = k.point(p.i);
    const ControlPoint& b = k.point((p.i + 1) % k.num_points());
    return {(b.x - a.x) * p.t + a.x, (b.y - a.y) * p.t + a.y, (b.z - a.z) * p.t + a.z};
}

double cardinal1(double p0, double p1, double p2, double p3, double s, double t) {
    double q = (s * t) * (p2 - p0) + p1;
    q = ((((2 * s) * p0 + (s - 3) * p1) + (3 - 2 * s) * p2) - s * p3) * (t * t) + q;
    return ((((2 - s) * p1 - s * p0) + (s - 2) * p2) + s * p3) * (t * t * t) + q;
}

Point3 cardinal(const Track& k, float u) {
    const Split p = split(u);
    const int n = k.num_points();
    const ControlPoint& a = k.point((p.i + n - 1) % n);
    const ControlPoint& b = k.point(p.i);
    const ControlPoint& c = k.point((p.i + 1) % n);
    const ControlPoint& d = k.point((p.i + 2) % n);
    const double s = static_cast<float>((1.0 - k.tension()) * 0.5);
    return {cardinal1(a.x, b.x, c.x, d.x, s, p.t), cardinal1(a.y, b.y, c.y, d.y, s, p.t),
            cardinal1(a.z, b.z, c.z, d.z, s, p.t)};
}

double bspline1(double p0, double p1, double p2, double p3, double t) {
    double q = (((3 * p1 - p0) - 3 * p2) + p3) * (t * t * t);
    q = ((3 * p0 - 6 * p1) + 3 * p2) * (t * t) + q;
    q = (p2 - p0) * (3 * t) + q;
    return ((4 * p1 + p0) + p2) + q;
}

Point3 bspline(const Track& k, float u) {
    const Split p = split(u);
    const int n = k.num_points();
    const ControlPoint& a = k.point(p.i);
    const ControlPoint& b = k.point((p.i + 1) % n);
    const ControlPoint& c = k.point((p.i + 2) % n);
    const ControlPoint& d = k.point((p.i + 3) % n);
    return {bspline1(a.x, b.x, c.x, d.x, p.t) / 6, bspline1(a.y, b.y, c.y, d.y, p.t) / 6,
            bspline1(a.z, b.z, c.z, d.z, p.t) / 6};
}

double bezier1(double p0, double h1, double h2, double p3, double t) {
    double q = 3 * p0 + (h1 - p0) * t;
    q = (((3 * h2 - 7 * p0) - 2 * h1) + 6 * p3) * (t * t) + q;
    return (((5 * p0 + h1) - 3 * h2) - 3 * p3) * (t * t * t) + q;
}

Point3 bezier(const Track& k, float u) {
    const Split p = split(u);
    const ControlPoint& a = k.point(p.i);
    const ControlPoint& h = k.bezier_handle(2 * p.i);
    const ControlPoint& g = k.bezier_handle(2 * p.i + 1);
    const ControlPoint& d = k.point((p.i + 1) % k.num_points());
    return {bezier1(a.x, h.x, g.x, d.x, p.t) / 3, bezier1(a.y, h.y, g.y, d.y, p.t) / 3,
            bezier1(a.z, h.z, g.z, d.z, p.t) / 3};
}

} // namespace

TEST(EvaluationOrder, EvaluatorsMatchTheWrittenOutFormulasBitForBit) {
    std::mt19937 rng(31);
    for (int trial = 0; trial < 40; ++trial) {
        const Track track = track_test::random_track(rng);
        std::uniform_real_distribution<float> param(0.0f, static_cast<float>(track.num_points()));
        for (int k = 0; k < 200; ++k) {
            const float u = param(rng);
            if (!(u < track.num_points())) {
                continue;
            }
            SCOPED_TRACE(testing::Message() << "trial " << trial << " u " << u);
            track_test::expect_same(track.linear_at(u), linear(track, u));
            track_test::expect_same(track.cardinal_at(u), cardinal(track, u));
            track_test::expect_same(track.bspline_at(u), bspline(track, u));
            track_test::expect_same(track.bezier_at(u), bezier(track, u));
        }
    }
}
