#pragma once
// Small synthetic XTF and SEG-2 files for tests, built as bytes so that a test
// can cut or patch them before writing.
#include <cstdint>
#include <string>
#include <vector>

namespace tarnix::test {

using Bytes = std::vector<unsigned char>;

void writeBytes(const std::string& path, const Bytes& bytes);
void putU16(Bytes& b, size_t at, unsigned v, bool bigEndian = false);
void putU32(Bytes& b, size_t at, uint32_t v, bool bigEndian = false);

// --- XTF ---
struct SynthXtfChannel {
    int type = 2; // 0 sub-bottom, 1 port, 2 starboard
    int bytesPerSample = 2;
    bool unipolar = false;
    int sampleFormat = 0; // 5: IEEE float
};

struct SynthPing {
    int year = 2024, month = 3, day = 5, julianDay = 65;
    int hour = 10, minute = 20, second = 30;
    uint32_t pingNumber = 0;
    float soundVelocity = 750;
    double shipX = 0, shipY = 0, sensorX = 0, sensorY = 0;
    float slantRange = 30, timeDelay = 0, timeDuration = 0.04f;
    std::vector<std::vector<double>> samples; // per channel, as stored
};

Bytes xtfFileHeader(const std::vector<SynthXtfChannel>& channels, int navUnits = 3);
// A sonar packet; channel c of the ping is channel number c of the header.
Bytes xtfPing(const SynthPing& p, const std::vector<SynthXtfChannel>& channels);
// A packet of another type with `body` bytes after its 14-byte header.
Bytes xtfPacket(int type, size_t body);
void append(Bytes& to, const Bytes& more);

// --- SEG-2 ---
struct SynthSeg2Trace {
    int code = 1;
    std::vector<double> samples;      // encoded by the code (code 3: exact values only)
    std::vector<std::string> strings; // descriptor strings, e.g. "CHANNEL_NUMBER 3"
    Bytes data;                       // used as the data block instead when not empty
    uint32_t sampleCount = 0;         // with `data`: the announced count
};

Bytes seg2File(const std::vector<SynthSeg2Trace>& traces, bool bigEndian = false);
// Byte offset of trace k's descriptor (1-based) in a file built by seg2File.
uint32_t seg2Pointer(const Bytes& file, int k, bool bigEndian = false);

} // namespace tarnix::test
