#pragma once
// SEG-2 shot files: the file descriptor block with its trace pointers, trace
// descriptor blocks with their keyword strings, and samples of data format
// codes 1 to 5, decoded into the shot-gather store in the file's byte order.
//
// Every count, size and pointer is checked against the file and the store
// before it is used; a trace that cannot be read is an error naming the file
// and the trace, the file is closed and the trace's column is left untouched.
#include "core/session.h"
#include "core/shot_gather.h"

#include <string>
#include <vector>

namespace tarnix {

// The SEG-2 open, trace read and close of the refraction view.
class Seg2File {
public:
    // Opens read-only and reads the file descriptor block and the trace
    // pointers; throws IoError naming the file.
    Seg2File(ShotGather& store, std::string path);
    ~Seg2File();
    Seg2File(const Seg2File&) = delete;
    Seg2File& operator=(const Seg2File&) = delete;

    const std::string& path() const { return path_; }
    int revision() const { return revision_; }
    const std::string& terminator() const { return terminator_; }
    // Traces that will be read (the file's count, cut to the store's 72).
    int traceCount() const { return static_cast<int>(pointers_.size()); }
    // What was cut to fit the store, empty when nothing was.
    const std::string& note() const { return note_; }

    // Reads trace k (1 <= k <= traceCount()) into column k of the store.
    void readTrace(int k);
    void close();
    bool isOpen() const { return fd_ >= 0; }

private:
    void readBytes(long long pos, unsigned char* dst, long long n, const std::string& what);
    [[noreturn]] void fail(const std::string& message);
    void addNote(const std::string& text);
    void readFileStrings(long long pointerBytes);

    ShotGather& store_;
    std::string path_;
    int fd_ = -1;
    long long size_ = 0;
    bool bigEndian_ = false;
    int revision_ = 0;
    std::string terminator_;
    std::vector<uint32_t> pointers_;
    std::vector<unsigned char> block_;
    std::string note_;
};

// A SEG-2 file opened through the open command: the gather is read whole at
// open and shown as a line, one shot per trace (shot k is trace k, from 1).
class Seg2Input final : public InputFile {
public:
    Seg2Input(Session& s, std::string path);
    std::string note() const override { return note_; }
    int traceCount() const { return traces_; }

    // Trace `shot` of the gather into the raw input trace, with its sampling.
    void readTrace(Session& s, int shot);
    void rewind(Session&) override {}
    void readRunTrace(Session& s, int shot) override;
    bool readSingleTrace(Session& s, int shot) override;
    const std::string& posString() const override { return posString_; }

private:
    std::string path_;
    int traces_ = 0;
    std::string note_;
    std::string posString_;
    int filledSlots_ = kReadSlots;
};

// True when the file starts with a SEG-2 block identifier (either byte order).
bool isSeg2File(const std::string& path);

// The open routine of the open command: opens `fileName` as the input, reads
// the whole gather and trace 1 and sets the sampling state, NumTraces and
// FullScale. On a failure nothing stays open and the error is rethrown.
void OPEN_SEG2(Session& s, const std::string& fileName);

// The format table's open routine: OPEN_SEG2 on InputFileName, then every
// shot selected and confirmed, so GO is enabled at once (shots count from 1).
void openSeg2File(Session& s);

} // namespace tarnix
