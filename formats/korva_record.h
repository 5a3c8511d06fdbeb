#pragma once
// KORVA record files: fixed-size little-endian records, one per scan (shot),
// each a 288-byte scan header followed by signed 16-bit samples. KORVA 2.0
// records hold 16384 samples, KORVA 0.5 records 4096. The scan header's fields,
// its navigation text and its sampling-frequency index are decoded here, for
// the reader, the KORVA 2.0 writer and the "Tarnix File Header" page alike.
#include "core/session.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnix {

struct KorvaVariant {
    const char* name;
    int samples; // per record; the last one is never read
    int recordBytes;
    bool is20() const { return samples == 16384; }
};
inline constexpr KorvaVariant kKorva20{"KORVA 2.0", 16384, 33056};
inline constexpr KorvaVariant kKorva05{"KORVA 0.5", 4096, 8480};

namespace korva {
// Byte offsets of the scan header's fields.
constexpr int kScanMarker = 0; // 32-bit; the rate as a float under index 99
constexpr int kScanSeq = 4;
constexpr int kUserSize = 8;
constexpr int kTrigDelay = 12; // samples
constexpr int kTrigLength = 16;
constexpr int kTrigMode = 20;
constexpr int kTrigExtType = 22;
constexpr int kTrigLevel = 24;
constexpr int kSamFreqIdx = 26;
constexpr int kBitsPerSample = 28;
constexpr int kNumChannels = 29;
constexpr int kOffsetBin = 30;
constexpr int kReserved = 31;
constexpr int kNavText = 32; // length byte, then up to 81 characters
constexpr int kNavChars = 81;
constexpr int kHeaderBytes = KorvaHeaders::kBytes;
constexpr int kRateFromMarker = 99;
} // namespace korva

uint32_t korvaU32(const unsigned char* header, int offset);
uint16_t korvaU16(const unsigned char* header, int offset);
void putKorvaU32(unsigned char* header, int offset, uint32_t v);
void putKorvaU16(unsigned char* header, int offset, uint16_t v);

// The navigation text: as many characters as the length byte says, at most 81.
std::string korvaNavText(const unsigned char* header);
void setKorvaNavText(unsigned char* header, std::string_view text);

// Sampling frequency in kHz of a scan header's index; for index 99 the float in
// scan_marker, whatever it holds. Nothing for an index the table does not list.
std::optional<long double> korvaIndexRate(const unsigned char* header);
// The index of a rate in kHz: the first listed rate equal to it, else 99.
int korvaRateCode(long double rate);

// The "Tarnix File Header" grid of a header copy: row 0 the titles, rows 1 to
// 13 the fields, their values (scan_marker's left empty) and comments; the
// sampling-frequency row shows `sampleRate` ("9 - 16.5000 Khz").
std::vector<std::array<std::string, 3>> korvaHeaderGrid(const unsigned char* header,
                                                        long double sampleRate);

// What a SEG-Y trace read leaves in both record buffers for KORVA output: its field
// record number, 16 bits per sample and, when read big-endian, 81 blanks of
// navigation text.
void fillKorvaTemplates(Session& s, int32_t fieldRecord, bool bigEndian);

} // namespace tarnix
