#include "track/track.h"
// STUB: handles and resampling, to be written.
void Track::make_handles() {}
void Track::add_point() {}
void Track::remove_point() {}
void Track::resample(int) {}
