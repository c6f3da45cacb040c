// The arithmetic mirrors GLU's, statement by statement, because every mix of
// float and double in it shows in the last bits of the output: angles are
// formed in double and stored as float, their sines and cosines are taken in
// double and rounded to float, and radius-times-table products are float.
#include "view/quadrics.h"

#include <array>
#include <cmath>

#include "view/draw_list.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
// GLU's tables have this many entries; it clamps slices and stacks below it.
constexpr int kTableSize = 240;

using Table = std::array<float, kTableSize>;

int clamped(int n) {
    return n >= kTableSize ? kTableSize - 1 : n;
}

// Sine and cosine of a float angle in double. The volatile read keeps the
// compiler from folding them at build time with its own rounding instead of
// the C library's, which is what GLU gets.
double sine(float angle) {
    volatile double a = angle;
    return std::sin(a);
}

double cosine(float angle) {
    volatile double a = angle;
    return std::cos(a);
}

} // namespace

void cylinder(DrawList& d, double base, double top, double height, int slices, int stacks) {
    slices = clamped(slices);
    if (slices < 2 || stacks < 1 || base < 0.0 || top < 0.0 || height < 0.0) {
        return;
    }
    const float delta_radius = static_cast<float>(base - top);
    const float length =
        static_cast<float>(std::sqrt(delta_radius * delta_radius + height * height));
    if (length == 0.0f) {
        return;
    }
    const float z_normal = delta_radius / length;
    const float xy_ratio = static_cast<float>(height / length);
    Table sin_v{}, cos_v{}, sin_n{}, cos_n{};
    for (int i = 0; i < slices; ++i) {
        const float angle = static_cast<float>(2 * kPi * i / slices);
        const double s = sine(angle);
        const double c = cosine(angle);
        sin_n[i] = static_cast<float>(xy_ratio * s);
        cos_n[i] = static_cast<float>(xy_ratio * c);
        sin_v[i] = static_cast<float>(s);
        cos_v[i] = static_cast<float>(c);
    }
    // The seam closes on angle 0's values rather than on 2 pi's.
    sin_v[slices] = sin_v[0];
    cos_v[slices] = cos_v[0];
    sin_n[slices] = sin_n[0];
    cos_n[slices] = cos_n[0];

    for (int j = 0; j < stacks; ++j) {
        const float z_low = static_cast<float>(j * height / stacks);
        const float z_high = static_cast<float>((j + 1) * height / stacks);
        const float r_low =
            static_cast<float>(base - delta_radius * (static_cast<float>(j) / stacks));
        const float r_high =
            static_cast<float>(base - delta_radius * (static_cast<float>(j + 1) / stacks));
        d.begin(GL_QUAD_STRIP);
        for (int i = 0; i <= slices; ++i) {
            d.normal(sin_n[i], cos_n[i], z_normal);
            d.vertex(r_low * sin_v[i], r_low * cos_v[i], z_low);
            d.vertex(r_high * sin_v[i], r_high * cos_v[i], z_high);
        }
        d.end();
    }
}

void disk(DrawList& d, double inner, double outer, int slices, int loops) {
    slices = clamped(slices);
    if (slices < 2 || loops < 1 || outer <= 0.0 || inner < 0.0 || inner > outer) {
        return;
    }
    const float delta_radius = static_cast<float>(outer - inner);
    Table sin_v{}, cos_v{};
    for (int i = 0; i <= slices; ++i) {
        // A whole turn from angle 0, as a partial disk of 360 degrees.
        const float angle = static_cast<float>(0.0f + ((kPi * 360.0) / 180.0) * i / slices);
        sin_v[i] = static_cast<float>(sine(angle));
        cos_v[i] = static_cast<float>(cosine(angle));
    }
    sin_v[slices] = sin_v[0];
    cos_v[slices] = cos_v[0];

    d.normal(0.0f, 0.0f, 1.0f);
    int rings = loops;
    if (inner == 0.0) {
        // The innermost ring is a fan round the centre, turning so it faces +z.
        rings = loops - 1;
        const float r =
            static_cast<float>(outer - delta_radius * (static_cast<float>(loops - 1) / loops));
        d.begin(GL_TRIANGLE_FAN);
        d.vertex(0.0f, 0.0f, 0.0f);
        for (int i = slices; i >= 0; --i) {
            d.vertex(r * sin_v[i], r * cos_v[i], 0.0f);
        }
        d.end();
    }
    // The other rings from the rim inward, the outer vertex first.
    for (int j = 0; j < rings; ++j) {
        const float r_out =
            static_cast<float>(outer - delta_radius * (static_cast<float>(j) / loops));
        const float r_in =
            static_cast<float>(outer - delta_radius * (static_cast<float>(j + 1) / loops));
        d.begin(GL_QUAD_STRIP);
        for (int i = 0; i <= slices; ++i) {
            d.vertex(r_out * sin_v[i], r_out * cos_v[i], 0.0f);
            d.vertex(r_in * sin_v[i], r_in * cos_v[i], 0.0f);
        }
        d.end();
    }
}

void sphere(DrawList& d, double radius, int slices, int stacks) {
    slices = clamped(slices);
    stacks = clamped(stacks);
    // GLU reads its slice table at index `stacks` for the lower pole.
    if (slices < 2 || stacks < 1 || stacks > slices || radius < 0.0) {
        return;
    }
    // Around the axis, for positions and normals alike.
    Table sin_a{}, cos_a{};
    for (int i = 0; i < slices; ++i) {
        const float angle = static_cast<float>(2 * kPi * i / slices);
        sin_a[i] = static_cast<float>(sine(angle));
        cos_a[i] = static_cast<float>(cosine(angle));
    }
    sin_a[slices] = sin_a[0];
    cos_a[slices] = cos_a[0];

    // Along the axis: normals from the plain sine and cosine, positions from
    // the radius times them in double, rounded once.
    Table sin_n{}, cos_n{}, ring{}, height{};
    for (int j = 0; j <= stacks; ++j) {
        const float angle = static_cast<float>(kPi * j / stacks);
        const double s = sine(angle);
        const double c = cosine(angle);
        sin_n[j] = static_cast<float>(s);
        cos_n[j] = static_cast<float>(c);
        ring[j] = static_cast<float>(radius * s);
        height[j] = static_cast<float>(radius * c);
    }
    // The poles' rings are exactly zero; their normals are left as computed.
    ring[0] = 0.0f;
    ring[stacks] = 0.0f;

    // The +z pole: a fan turning so that it faces outward.
    d.normal(sin_a[0] * sin_n[0], cos_a[0] * sin_n[0], cos_n[0]);
    d.begin(GL_TRIANGLE_FAN);
    d.vertex(0.0f, 0.0f, static_cast<float>(radius));
    for (int i = slices; i >= 0; --i) {
        d.normal(sin_a[i] * sin_n[1], cos_a[i] * sin_n[1], cos_n[1]);
        d.vertex(ring[1] * sin_a[i], ring[1] * cos_a[i], height[1]);
    }
    d.end();

    // The -z pole, its apex normal from slice `stacks` as GLU takes it.
    const int last = stacks - 1;
    d.normal(sin_a[stacks] * sin_n[stacks], cos_a[stacks] * sin_n[stacks], cos_n[stacks]);
    d.begin(GL_TRIANGLE_FAN);
    d.vertex(0.0f, 0.0f, static_cast<float>(-radius));
    for (int i = 0; i <= slices; ++i) {
        d.normal(sin_a[i] * sin_n[last], cos_a[i] * sin_n[last], cos_n[last]);
        d.vertex(ring[last] * sin_a[i], ring[last] * cos_a[i], height[last]);
    }
    d.end();

    // The bands between, from +z toward -z, the vertex nearer -z first.
    for (int j = 1; j < stacks - 1; ++j) {
        d.begin(GL_QUAD_STRIP);
        for (int i = 0; i <= slices; ++i) {
            d.normal(sin_a[i] * sin_n[j + 1], cos_a[i] * sin_n[j + 1], cos_n[j + 1]);
            d.vertex(ring[j + 1] * sin_a[i], ring[j + 1] * cos_a[i], height[j + 1]);
            d.normal(sin_a[i] * sin_n[j], cos_a[i] * sin_n[j], cos_n[j]);
            d.vertex(ring[j] * sin_a[i], ring[j] * cos_a[i], height[j]);
        }
        d.end();
    }
}
