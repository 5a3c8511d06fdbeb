#pragma once
// Small synthetic KORVA record files for tests. The scan header is laid out
// here byte by byte from the format's table, independently of the reader.
#include "support/sonar_fixture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnix::test {

struct SynthKorvaRecord {
    uint32_t scan = 1;
    uint16_t rateIndex = 5; // 8 kHz
    float markerRate = 0;   // scan_marker as a float (the rate under index 99)
    uint32_t userSize = 256, trigDelay = 0, trigLength = 16384;
    uint16_t trigMode = 0, trigExtType = 1, trigLevel = 2;
    uint8_t bits = 16, channels = 1, offsetBin = 1, reserved = 0;
    std::string navText;
    int navLength = -1;          // the length byte; -1: the text's own length
    unsigned char opaque = 0xA5; // the 174 bytes no one interprets
};

// Sample k (from 1) of the record of scan `scan`: every value of a record is
// its own, and signs alternate.
int16_t korvaValue(uint32_t scan, int k);

// One record of `samplesPerRecord` samples (16384 or 4096).
Bytes korvaRecord(const SynthKorvaRecord& r, int samplesPerRecord);
// Records for scans first, first + 1, ... from the same template.
Bytes korvaFile(SynthKorvaRecord r, int records, int samplesPerRecord);

} // namespace tarnix::test
