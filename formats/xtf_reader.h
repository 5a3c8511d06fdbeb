#pragma once
// XTF sonar files (little-endian): the file header with its channel table,
// then packets that each start with FACE, a type and their own byte count.
// Sonar packets (type 0) are pings: a ping header with time and positions, then
// per channel a channel header and its samples. A ping is one shot; the chosen
// channel (1-based, in the order the ping stores them) is the trace.
//
// Open walks the packets once and keeps the offset of every ping, so any ping
// is one positioned read. Every size is checked against its packet and the
// file; a ping that does not add up is an error naming the file and the ping.
#include "core/session.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnix {

struct XtfChannelInfo {
    int type = 0; // 0 sub-bottom, 1 port, 2 starboard, 3 bathymetry
    int subChannel = 0;
    int bytesPerSample = 0;
    bool unipolar = false;
    int sampleFormat = 0; // 5: IEEE float; anything else: integers
    std::string name;
};

struct XtfFileInfo {
    std::string program, sonarName, note;
    int navUnits = 0; // 3: degrees of latitude and longitude, else metres
    int sonarChannels = 0;
    int headerBytes = 1024;
    std::vector<XtfChannelInfo> channels; // by channel number
};

// One decoded channel of a ping.
struct XtfChannel {
    int number = 0;  // the channel's entry in the file header's table
    int samples = 0; // as stored
    double slantRange = 0, timeDelay = 0, timeDuration = 0; // m, s, s
    long long dataOffset = 0;                               // file offset of the samples
};

struct XtfPing {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, hundredths = 0;
    int julianDay = 0;
    uint32_t pingNumber = 0;
    double soundVelocity = 0;
    double shipX = 0, shipY = 0, sensorX = 0, sensorY = 0;
    std::vector<XtfChannel> channels;
};

class XtfInput final : public InputFile {
public:
    // Opens read-only, reads the file header and indexes the pings; throws
    // IoError naming the file when it is not XTF or holds no ping.
    explicit XtfInput(std::string path);
    ~XtfInput() override;
    XtfInput(const XtfInput&) = delete;
    XtfInput& operator=(const XtfInput&) = delete;

    const std::string& path() const { return path_; }
    const XtfFileInfo& info() const { return info_; }
    int pingCount() const { return static_cast<int>(pings_.size()); }
    // File offset of ping `ping` (1-based).
    long long pingOffset(int ping) const { return pings_[static_cast<size_t>(ping - 1)].offset; }
    // Why the packet walk stopped before the end of the file, empty when it did not.
    std::string note() const override { return note_; }

    // Ping header and channel headers of ping `ping` (1-based), checked.
    // The result is kept until the next call (no allocation per ping).
    const XtfPing& readPing(int ping);
    // Ping `shot` (1-based), channel `channel` (1-based) into the raw input
    // trace: sampling, the trace header record's time and navigation values,
    // Delay. A port channel is reversed, so time runs down for both sides.
    void readTrace(Session& s, int shot, int channel);

    void rewind(Session&) override {}
    void readRunTrace(Session& s, int shot) override;
    bool readSingleTrace(Session& s, int shot) override;
    const std::string& posString() const override { return posString_; }
    // The run's navigation text of the ping (empty when it has no position).
    std::optional<std::string> navRow(const Session& s, int shot) const override {
        return s.navText[static_cast<size_t>(shot)];
    }

private:
    void readBytes(long long pos, unsigned char* dst, long long n, const std::string& what);
    void indexPackets();

    std::string path_;
    int fd_ = -1;
    long long size_ = 0;
    XtfFileInfo info_;
    struct Packet {
        long long offset;
        uint32_t bytes;
    };
    std::vector<Packet> pings_;
    bool hasPosition_ = false;
    std::string note_;
    std::vector<unsigned char> buffer_;
    XtfPing ping_;
    std::vector<int32_t> whole_;
    std::vector<double> doubles_;
    int filledSlots_ = kReadSlots;
    std::string posString_;
};

// The XTF input of the session, or null when the input is not XTF.
XtfInput* xtfInput(Session& s);

// OPEN_XTF: opens `fileName` as the input and reads ping 1 on the channel of
// the Select Shots window; sets NumTraces (pings), the sampling state and
// FullScale. On a failure nothing stays open and the error is rethrown.
void OPEN_XTF(Session& s, const std::string& fileName);

// The format table's open routine: OPEN_XTF on InputFileName, then every
// shot selected and confirmed, so GO is enabled at once (shots count from 1).
void openXtfFile(Session& s);

} // namespace tarnix
