#pragma once
// Sequential reads of a file in large blocks: a run reads trace after trace,
// and one system call per trace cost a sixth of a run that only paints.
#include <cstdint>
#include <vector>

namespace tarnix {

class ReadAhead {
public:
    static constexpr long long kBlockBytes = 256 << 10; // stays in the cache until decoded

    // Bytes pos..pos+n-1 of the file (fileSize bytes at opening), from the
    // block, which is read again from pos when it does not hold them. Null
    // when one read cannot deliver them (an error, or the file ends first):
    // the caller then reads them itself and reports that as it always does.
    // The pointer is valid until the next call or drop().
    const unsigned char* bytes(int fd, long long pos, long long n, long long fileSize);
    // Forgets the block (the next read goes to the file).
    void drop() { length_ = 0; }

private:
    std::vector<unsigned char> block_;
    long long start_ = 0, length_ = 0;
};

} // namespace tarnix
