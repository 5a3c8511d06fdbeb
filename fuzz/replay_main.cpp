// Replays saved inputs through a target's entry point without fuzzing:
//   fuzz_replay TARGET PATH...   (a directory stands for every file in it)
// A sanitizer report or an unexpected exception ends the program with a failure.
#include "fuzz/entries.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: fuzz_replay TARGET PATH...\n";
        return 2;
    }
    const tarnix::fuzz::Target* target = tarnix::fuzz::targetNamed(argv[1]);
    if (!target) {
        std::cerr << "fuzz_replay: no target '" << argv[1] << "'\n";
        return 2;
    }
    std::vector<fs::path> inputs;
    for (int i = 2; i < argc; ++i) {
        const fs::path p(argv[i]);
        if (fs::is_directory(p)) {
            for (const auto& e : fs::directory_iterator(p))
                if (e.is_regular_file() && e.path().filename() != "README.md")
                    inputs.push_back(e.path());
        } else if (fs::is_regular_file(p)) {
            inputs.push_back(p);
        } else {
            std::cerr << "fuzz_replay: " << p.string() << " does not exist\n";
            return 1;
        }
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path& p : inputs) {
        std::ifstream in(p, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
        // The fuzzer never passed more than the target's limit.
        if (bytes.size() > target->maxLen) bytes.resize(target->maxLen);
        try {
            target->run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        } catch (const std::exception& e) {
            std::cerr << target->name << ": " << p.string()
                      << ": unexpected exception: " << e.what() << '\n';
            return 1;
        }
    }
    std::cout << target->name << ": " << inputs.size() << " inputs replayed\n";
    return 0;
}
