// One fuzzer per target: the target's name is compiled in, and its input limit
// is the default for -max_len.
#include "fuzz/entries.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const tarnix::fuzz::Target& target() {
    static const tarnix::fuzz::Target* t = [] {
        const tarnix::fuzz::Target* found = tarnix::fuzz::targetNamed(TARNIX_FUZZ_TARGET);
        if (!found) std::abort();
        return found;
    }();
    return *t;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    for (int i = 1; i < *argc; ++i)
        if (std::strncmp((*argv)[i], "-max_len=", 9) == 0) return 0;
    static std::string maxLen = "-max_len=" + std::to_string(target().maxLen);
    static char** args = new char*[static_cast<size_t>(*argc) + 2];
    for (int i = 0; i < *argc; ++i) args[i] = (*argv)[i];
    args[*argc] = maxLen.data();
    args[*argc + 1] = nullptr;
    ++*argc;
    *argv = args;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    target().run(data, size);
    return 0;
}
