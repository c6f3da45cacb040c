#include "scenery/random.h"
// STUB
int Random::next() { return 0; }
Random& scenery_random() {
    static Random r;
    return r;
}
