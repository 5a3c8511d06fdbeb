#pragma once
// The per-shot navigation texts. A reader may store a shot's line as its
// numbers; the text is made the first time someone reads the entry, since a
// run writes one line per shot and hardly anyone reads them.
#include "core/trace.h"
#include "core/zeroed_buffer.h"

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

namespace tarnix {

// "shot year day hour minute second lat lon", the coordinates with 8 decimals.
struct NavLineNumbers {
    int32_t held = 0; // 1: the entry's text is made from these
    int32_t shot = 0;
    int32_t year = 0, day = 0, hour = 0, minute = 0, second = 0;
    double lat = 0, lon = 0;
};
template <> struct ZeroBytesAreZero<NavLineNumbers> : std::true_type {};

// The line's text, cut at 255 characters.
std::string navLineText(const NavLineNumbers& n);

class NavTextTable {
public:
    explicit NavTextTable(size_t n) : size_(n), numbers_(n) {}

    size_t size() const { return size_; }
    std::string& operator[](size_t i) { return text(i); }
    const std::string& operator[](size_t i) const { return text(i); }
    // Entry i becomes the line of these numbers.
    void setLine(size_t i, const NavLineNumbers& n) {
        numbers_[i] = n;
        numbers_[i].held = 1;
    }

private:
    std::string& text(size_t i) const {
        if (texts_.empty()) texts_.resize(size_);
        if (numbers_[i].held) {
            numbers_[i].held = 0;
            texts_[i] = navLineText(numbers_[i]);
        }
        return texts_[i];
    }

    size_t size_;
    // Both filled only when used: a run of a short line holds little of them.
    mutable std::vector<std::string> texts_;
    mutable ZeroedBuffer<NavLineNumbers> numbers_;
};

} // namespace tarnix
