// How the ring changed when one point was inserted into it or removed from it
// in place, and where a curve parameter of the old ring lies on the new one.
// Plain value; no GL, no FLTK.
#pragma once

struct RingChange {
    // The inserted point (numbered on the new ring) or the removed one
    // (numbered on the old ring); -1 when nothing changed.
    int point = -1;
    int old_count = 0;
    int new_count = 0;
    // The run of segments whose shape the change touched: span_old segments
    // from segment first_old of the old ring became span_new segments from
    // segment first_new of the new ring. Every other segment keeps its shape
    // and its local parameter under its new number.
    int first_old = 0;
    int first_new = 0;
    int span_old = 0;
    int span_new = 0;
    // Inside the run, the segment cut in two (or the two joined into one)
    // is `cut` segments from its start, and `split` is the fraction of the
    // long segment's parameter where the two meet; the segments before and
    // after it keep their parameters. With `uniform` the whole run is
    // stretched evenly instead (BSpline, whose points all lie off the curve).
    int cut = 0;
    double split = 0.5;
    bool uniform = false;

    bool changed() const { return point >= 0; }
    // The parameter on the new ring of the place at u on the old one: exact
    // where the shape was kept (Linear and Bezier everywhere), the nearest
    // match in parameter elsewhere. Always in [0, new_count); u itself when
    // nothing changed.
    float map(float u) const;
};
