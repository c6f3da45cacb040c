// A warm analysis allocates nothing: following a drag re-analyses the ride
// every frame into the same storage.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "analysis/ride_test_designs.h"

namespace {
bool counting = false;
long allocations = 0;
} // namespace

void* operator new(std::size_t size) {
    if (counting) {
        ++allocations;
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

TEST(RideAllocation, AWarmAnalysisAllocatesNothing) {
    Track track = ride_test::hills(CurveType::Linear, 30.0); // corners too
    RideAnalysis ride;
    analyse_ride(track, {true, true, 5.0}, ride);
    ASSERT_FALSE(ride.corners.empty());
    track.point(3).y += 0.5; // a drag moves a point
    counting = true;
    analyse_ride(track, {true, true, 5.0}, ride);
    counting = false;
    EXPECT_EQ(allocations, 0);
    EXPECT_FALSE(ride.samples.empty());
}

} // namespace
