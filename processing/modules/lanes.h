#pragma once
// Four doubles side by side, for the kernels' target_clones: GCC's vector
// extension, moved in and out by memcpy so that no alignment is assumed.
#include <cstring>

namespace tarnix::modules::lanes {

using V4 = double __attribute__((vector_size(32)));

// A vector of any lanes from p, and back.
template <class V, class T> [[gnu::always_inline]] inline V load(const T* p) {
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
template <class T, class V> [[gnu::always_inline]] inline void store(T* p, V v) {
    std::memcpy(p, &v, sizeof v);
}

[[gnu::always_inline]] inline V4 load4(const double* p) {
    return load<V4>(p);
}
[[gnu::always_inline]] inline void store4(double* p, V4 v) {
    store(p, v);
}
[[gnu::always_inline]] inline V4 splat(double v) {
    return V4{v, v, v, v};
}

} // namespace tarnix::modules::lanes
