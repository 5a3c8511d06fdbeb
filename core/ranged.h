#pragma once
// A setting that carries its control's range: every assignment is clamped, so
// the defaults file, the headless command and the window all see the same value.
#include <algorithm>
#include <climits>

namespace tarnix {

class RangedInt {
public:
    constexpr RangedInt(int lo, int hi, int start)
        : lo_(lo), hi_(hi), v_(std::clamp(start, lo, hi)) {}
    constexpr int operator()() const { return v_; }
    constexpr int value() const { return v_; }
    constexpr int min() const { return lo_; }
    constexpr int max() const { return hi_; }
    // Returns the value kept after clamping.
    int set(long long v) {
        v_ = static_cast<int>(std::clamp<long long>(v, lo_, hi_));
        return v_;
    }

private:
    int lo_, hi_, v_;
};

} // namespace tarnix
