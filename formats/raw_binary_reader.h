#pragma once
// Headerless sample files: S samples of B bytes per trace, little-endian,
// the C channels of a shot one after the other. Trace n (from 0) of channel c
// (from 1) starts at byte S x B x (n x C + c - 1). 8-bit samples are unsigned
// with an offset of 128; 16-, 24- and 32-bit samples are signed.
#include "core/session.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnix {

class BinaryInput final : public InputFile {
public:
    // Opens read-only; throws IoError naming the file, or the setting that
    // cannot describe a file (samples 1..16384, 8/16/24/32 bits, 1..24 channels).
    BinaryInput(std::string path, int samples, int bits, int channels);
    ~BinaryInput() override;
    BinaryInput(const BinaryInput&) = delete;
    BinaryInput& operator=(const BinaryInput&) = delete;

    long long fileBytes() const { return size_; }
    // Whole shots in the file (every channel of the last one present).
    long long shots() const {
        return size_ / (static_cast<long long>(samples_) * bytes_ * channels_);
    }
    int channels() const { return channels_; }
    std::string note() const override { return note_; }

    // Trace `n` of channel `channel` into the raw input trace. EndOfData when
    // the trace does not lie wholly in the file; IoError for a channel above
    // the file's count or a read error.
    void readTrace(Session& s, long long n, int channel);

    void rewind(Session&) override {}
    // The channel of the Select Shots window, then the window copy.
    void readRunTrace(Session& s, int shot) override;
    // Read as the run reads it: the format has no separate single-trace read.
    bool readSingleTrace(Session& s, int shot) override;

private:
    std::string path_;
    int fd_ = -1;
    long long size_ = 0;
    int samples_, bytes_, channels_;
    std::string note_;
    std::vector<unsigned char> buffer_;
    std::vector<int32_t> whole_;
};

// OPEN_BIN with the dialog's settings (Session::binary) on InputFileName: the
// reader, NumTraces (whole shots), SampleRate (Hz / 1000), FullScale, the first
// trace read, and Select Shots prepared over every shot from 0.
void OPEN_BIN(Session& s);

} // namespace tarnix
