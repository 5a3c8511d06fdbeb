#pragma once
// Four doubles side by side, for the kernels' target_clones: GCC's vector
// extension, moved in and out by memcpy so that no alignment is assumed.
#include <cstring>

namespace tarnix::modules::lanes {

using V4 = double __attribute__((vector_size(32)));

[[gnu::always_inline]] inline V4 load4(const double* p) {
    V4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
[[gnu::always_inline]] inline void store4(double* p, V4 v) {
    std::memcpy(p, &v, sizeof v);
}
[[gnu::always_inline]] inline V4 splat(double v) {
    return V4{v, v, v, v};
}

} // namespace tarnix::modules::lanes
