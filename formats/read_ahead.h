#pragma once
// Sequential reads of a file in large blocks: a run reads trace after trace,
// and one system call per trace cost a sixth of a run that only paints. While
// the caller works on one block, a thread of its own reads the next, so the
// copy out of the page cache runs beside the painting.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace tarnix {

class ReadAhead {
public:
    static constexpr long long kBlockBytes = 256 << 10; // stays in the cache until decoded

    // `thread`: whether the next block is read beside the caller (measured to
    // help SEG-Y runs, not runs of the larger KORVA records).
    explicit ReadAhead(bool thread = true) : noThread_(!thread) {}
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Bytes pos..pos+n-1 of the file (fileSize bytes at opening), from the
    // block, which is read again from pos when it does not hold them. Null
    // when one read cannot deliver them (an error, or the file ends first):
    // the caller then reads them itself and reports that as it always does.
    // The pointer is valid until the next call or drop().
    const unsigned char* bytes(int fd, long long pos, long long n, long long fileSize);
    // Forgets the blocks (the next read goes to the file); waits for a read
    // under way, so the file may be closed after it.
    void drop();

private:
    struct Block {
        std::vector<unsigned char> data;
        int fd = -1;
        long long start = 0, length = 0;
        bool holds(int fd, long long pos, long long n) const {
            return fd == this->fd && pos >= start && pos + n <= start + length;
        }
    };
    static void fill(Block& b, int fd, long long pos, long long want);
    // The block length for reads of n bytes: a multiple of n near kBlockBytes.
    long long blockFor(long long n) const;
    // Asks the thread for the block after cur_ (none when cur_ ends the file).
    void readNext(long long fileSize);
    // Waits until next_ is the caller's again.
    void waitNext();
    void work();

    Block cur_, next_;
    long long nextWant_ = 0;
    long long unit_ = 1; // the length of the read that filled cur_
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool asked_ = false; // next_ is the thread's until it clears this
    bool quit_ = false;
    bool noThread_ = false; // no thread, or it could not be started: reads stay in the caller's
};

} // namespace tarnix
