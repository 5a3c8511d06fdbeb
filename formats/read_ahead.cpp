#include "formats/read_ahead.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace tarnix {

const unsigned char* ReadAhead::bytes(int fd, long long pos, long long n, long long fileSize) {
    if (pos < 0 || n < 0) return nullptr;
    if (pos >= start_ && pos + n <= start_ + length_) return block_.data() + (pos - start_);
    const long long want = std::min(std::max(kBlockBytes, n), fileSize - pos);
    if (want < n) return nullptr;
    if (static_cast<long long>(block_.size()) < want) block_.resize(static_cast<size_t>(want));
    start_ = pos;
    length_ = 0;
    while (length_ < want) {
        const ssize_t r = ::pread(fd, block_.data() + length_, static_cast<size_t>(want - length_),
                                  static_cast<off_t>(pos + length_));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break; // what was read stays usable; the rest is the caller's to report
        length_ += r;
    }
    return n <= length_ ? block_.data() : nullptr;
}

} // namespace tarnix
