#pragma once
// The SEG-Y revision 0 trace header, one table used by the reader, the writers
// and the header listing. The trace header record is kept in host layout
// (little-endian): a little-endian read copies the 240 bytes as stored, a
// big-endian read decodes field by field into it.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tarnix {

using SegyTraceRecord = std::array<unsigned char, 240>;

struct SegyField {
    int byte;  // first byte, 1-based as in the standard
    int width; // 16 or 32 bits
    const char* label;
    const char* suffix;
};

// The 71 fields of bytes 1 to 180, in byte order.
std::span<const SegyField> segyTraceFields();

// Byte positions (1-based) of the fields the program uses by name.
namespace segy {
constexpr int SeqLine = 1, SeqReel = 5, FieldRecord = 9, Channel = 13, SourcePower = 17;
constexpr int CdpEnsemble = 21, CdpTrace = 25, TraceId = 29, VerticalStack = 31;
constexpr int HorizontalStack = 33, DataUse = 35, ElevScaler = 69, CoordScaler = 71;
constexpr int SourceX = 73, SourceY = 77, GroupX = 81, GroupY = 85, CoordUnits = 89;
constexpr int Delay = 109, NumSamples = 115, SampleInterval = 117, SweepLength = 131;
constexpr int TaperType = 139, Year = 157, Day = 159, Hour = 161, Minute = 163, Second = 165;
constexpr int TimeBasis = 167;
} // namespace segy

// Field value of a record in host layout; the width comes from the table.
int32_t segyGet(const SegyTraceRecord& r, int byte);
void segySet(SegyTraceRecord& r, int byte, int32_t value);
int segyFieldWidth(int byte);

// Decodes bytes 1 to 180 of a big-endian trace header into the record; bytes
// 181 to 240 of the record are left as they are.
void decodeBigEndianHeader(const unsigned char* be, SegyTraceRecord& r);
// Encodes the whole record big-endian (bytes 181 to 240 copied as they are).
void encodeBigEndianHeader(const SegyTraceRecord& r, unsigned char* be);

// The 72-line listing of the "SEGY File Header" page.
std::vector<std::string> segyHeaderListing(const SegyTraceRecord& r);

} // namespace tarnix
