#include "formats/read_ahead.h"

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <unistd.h>

namespace tarnix {

ReadAhead::~ReadAhead() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    cv_.notify_all();
    thread_.join();
}

void ReadAhead::fill(Block& b, int fd, long long pos, long long want) {
    if (static_cast<long long>(b.data.size()) < want) b.data.resize(static_cast<size_t>(want));
    b.fd = fd;
    b.start = pos;
    b.length = 0;
    while (b.length < want) {
        const ssize_t r =
            ::pread(fd, b.data.data() + b.length, static_cast<size_t>(want - b.length),
                    static_cast<off_t>(pos + b.length));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break; // what was read stays usable; the rest is the caller's to report
        b.length += r;
    }
}

void ReadAhead::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        cv_.wait(lock, [this] { return asked_ || quit_; });
        if (quit_) return;
        lock.unlock();
        fill(next_, next_.fd, next_.start, nextWant_);
        lock.lock();
        asked_ = false;
        cv_.notify_all();
    }
}

void ReadAhead::waitNext() {
    std::unique_lock<std::mutex> lock(mutex_);
    cv_.wait(lock, [this] { return !asked_; });
}

long long ReadAhead::blockFor(long long n) const {
    return std::max(kBlockBytes / n, 1LL) * n;
}

void ReadAhead::readNext(long long fileSize) {
    const long long pos = cur_.start + cur_.length;
    const long long want = std::min(blockFor(unit_), fileSize - pos);
    next_.length = 0;
    if (want <= 0 || noThread_) return;
    if (!thread_.joinable()) {
        try {
            thread_ = std::thread([this] { work(); });
        } catch (const std::system_error&) {
            noThread_ = true;
            return;
        }
    }
    // Sized here, while the block is the caller's.
    if (static_cast<long long>(next_.data.size()) < want)
        next_.data.resize(static_cast<size_t>(want));
    next_.fd = cur_.fd;
    next_.start = pos;
    nextWant_ = want;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        asked_ = true;
    }
    cv_.notify_all();
}

const unsigned char* ReadAhead::bytes(int fd, long long pos, long long n, long long fileSize) {
    if (pos < 0 || n < 0) return nullptr;
    if (cur_.holds(fd, pos, n)) return cur_.data.data() + (pos - cur_.start);
    waitNext();
    if (next_.holds(fd, pos, n)) {
        // The caller has left cur_ (its pointer lasts until this call): the
        // thread reads on into it.
        std::swap(cur_, next_);
        readNext(fileSize);
        return cur_.data.data() + (pos - cur_.start);
    }
    // Whole reads of this length per block: the next block then starts where
    // the next read of the same length does, and no read falls across two.
    unit_ = std::max(n, 1LL);
    const long long want = std::min(blockFor(unit_), fileSize - pos);
    if (want < n) return nullptr;
    fill(cur_, fd, pos, want);
    if (n > cur_.length) return nullptr;
    if (cur_.length == want) readNext(fileSize);
    return cur_.data.data();
}

void ReadAhead::drop() {
    waitNext();
    cur_.length = next_.length = 0;
}

} // namespace tarnix
