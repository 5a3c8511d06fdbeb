#pragma once
// One entry per reader and parser: the bytes of a file go through the same calls
// the open command, the headless command and the windows make. The project's own
// errors are expected outcomes; anything else escaping, and every sanitizer
// report, is a finding.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tarnix::fuzz {

struct Target {
    const char* name;
    void (*run)(const uint8_t* data, size_t size);
    size_t maxLen; // the fuzzer's input limit: a few records of the format
};

std::span<const Target> targets();
const Target* targetNamed(std::string_view name);

} // namespace tarnix::fuzz
