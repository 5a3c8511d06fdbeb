#pragma once
// SEG-Y sample formats: what a binary header's format code means, and the
// decoding of one trace's samples into extended precision, in bulk.
#include "core/trace.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnix {

// Format codes the reader decodes (bytes 3225-3226 of the binary header).
namespace segyfmt {
constexpr int IbmFloat = 1, Int32 = 2, Int16 = 3, IeeeFloat = 5, Int8 = 8;
} // namespace segyfmt

// Bytes per sample of a code, 0 for a code the reader does not decode.
int segySampleBytes(int code);
bool segyFloatFormat(int code);
// "IBM float (format 1)", "16-bit integer (format 3)", ...
std::string segyFormatText(int code);

// The "Data Format" group: "16 bit fixed", "32 bit fixed", "32 bit float",
// "32 bit fix+gain". The item that shows a code, and the code an item chosen
// by the user stands for (the detected code where it shows as that item).
int segyDataFormatItem(int code);
int segyCodeOfDataFormatItem(int item, int detectedCode);

// Decodes one trace's samples into extended precision. Scratch buffers are
// sized once for the largest trace.
class SegySampleDecoder {
public:
    SegySampleDecoder();
    // dst[i] := sample i of the n samples at p, for i < n. With mul/add other
    // than 1/0 each sample becomes (sample + add) x mul, exact for the integer
    // formats wherever 64 bits hold it. Float samples that are not numbers become 0.
    void decode(const unsigned char* p, int n, int code, bool bigEndian, long long mul,
                long long add, Sample* dst);

    // The 16- and 8-bit samples as whole numbers, for decoding later: the
    // buffer, valid until the next call; null for the other codes.
    const int32_t* decodeShort(const unsigned char* p, int n, int code, bool bigEndian);
    // dst[i] := the whole numbers decodeShort left, as decode with mul 1 and add 0 gives them.
    void finishShort(int n, Sample* dst) const;
    // The float samples as doubles, 0 from n to the end of the buffer (16384
    // slots): the buffer, valid until the next call; null for the other codes.
    const double* decodeFloats(const unsigned char* p, int n, int code, bool bigEndian);
    // dst[i] := the doubles decodeFloats left, as decode with mul 1 and add 0 gives them.
    void finishFloats(int n, Sample* dst) const;

private:
    void decodeWhole(const unsigned char* p, int n, int code, bool bigEndian);
    void floatsToDoubles(const unsigned char* p, int n, int code, bool bigEndian);
    std::vector<int32_t> whole_;
    std::vector<uint32_t> words_;
    std::vector<double> doubles_;
    int doublesUsed_ = 0; // doubles_ holds 0 from here on
};

} // namespace tarnix
