#include "scene/selection.h"

Selection Selection::from_name(int name, int num_points, int num_generators) {
    if (name >= 0 && name < num_points) {
        return point(name);
    }
    if (name >= num_points && name < 3 * num_points) {
        return handle(name - num_points, num_points);
    }
    if (name == kLightName) {
        return light();
    }
    if (name >= kFirstGeneratorName && name < kFirstGeneratorName + num_generators) {
        return generator(name - kFirstGeneratorName);
    }
    return {};
}
