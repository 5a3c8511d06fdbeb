#include "formats/segy_samples.h"

#include "core/byte_order.h"
#include "core/extended.h"
#include "core/ibm_float.h"

#include <cmath>
#include <cstring>

namespace tarnix {

int segySampleBytes(int code) {
    switch (code) {
    case segyfmt::IbmFloat:
    case segyfmt::Int32:
    case segyfmt::IeeeFloat:
        return 4;
    case segyfmt::Int16:
        return 2;
    case segyfmt::Int8:
        return 1;
    default:
        return 0;
    }
}

bool segyFloatFormat(int code) {
    return code == segyfmt::IbmFloat || code == segyfmt::IeeeFloat;
}

std::string segyFormatText(int code) {
    const char* name = "unknown samples";
    switch (code) {
    case segyfmt::IbmFloat:
        name = "IBM float";
        break;
    case segyfmt::Int32:
        name = "32-bit integer";
        break;
    case segyfmt::Int16:
        name = "16-bit integer";
        break;
    case segyfmt::IeeeFloat:
        name = "IEEE float";
        break;
    case segyfmt::Int8:
        name = "8-bit integer";
        break;
    }
    return std::string(name) + " (format " + std::to_string(code) + ")";
}

int segyDataFormatItem(int code) {
    if (segyFloatFormat(code)) return 2;
    if (code == segyfmt::Int32) return 1;
    return 0;
}

int segyCodeOfDataFormatItem(int item, int detectedCode) {
    if (segySampleBytes(detectedCode) > 0 && segyDataFormatItem(detectedCode) == item)
        return detectedCode;
    switch (item) {
    case 1:
        return segyfmt::Int32;
    case 2:
        return segyfmt::IbmFloat; // the float of the original standard
    default:
        return segyfmt::Int16;
    }
}

SegySampleDecoder::SegySampleDecoder()
    : whole_(kReadSlots), words_(kReadSlots), doubles_(kReadSlots) {}

namespace {

// 16-bit samples in either byte order, the most common SEG-Y samples: the
// wider vector unit swaps and widens twice as many per step.
__attribute__((target_clones("avx2", "default"))) void whole16(const unsigned char* p, int n,
                                                               bool be, int32_t* w) {
    if (be)
        for (int i = 0; i < n; ++i) w[i] = getI16BE(p + 2 * i);
    else
        for (int i = 0; i < n; ++i) w[i] = getI16LE(p + 2 * i);
}

} // namespace

void SegySampleDecoder::decodeWhole(const unsigned char* p, int n, int code, bool be) {
    int32_t* w = whole_.data();
    switch (code) {
    case segyfmt::Int32:
        if (be)
            for (int i = 0; i < n; ++i) w[i] = getI32BE(p + 4 * i);
        else
            for (int i = 0; i < n; ++i) w[i] = getI32LE(p + 4 * i);
        break;
    case segyfmt::Int8:
        for (int i = 0; i < n; ++i) w[i] = static_cast<int8_t>(p[i]);
        break;
    default:
        whole16(p, n, be, w);
    }
}

const int32_t* SegySampleDecoder::decodeShort(const unsigned char* p, int n, int code, bool be) {
    if (code != segyfmt::Int16 && code != segyfmt::Int8) return nullptr;
    decodeWhole(p, n, code, be);
    return whole_.data();
}

void SegySampleDecoder::finishShort(int n, Sample* dst) const {
    wholeToSamples(whole_.data(), n, dst);
}

void SegySampleDecoder::floatsToDoubles(const unsigned char* p, int n, int code, bool be) {
    double* d = doubles_.data();
    if (code == segyfmt::IbmFloat) {
        ibmBytesToDoubles(p, n, be, d);
    } else {
        uint32_t* u = words_.data();
        if (be)
            for (int i = 0; i < n; ++i) u[i] = static_cast<uint32_t>(getI32BE(p + 4 * i));
        else
            for (int i = 0; i < n; ++i) u[i] = static_cast<uint32_t>(getI32LE(p + 4 * i));
        for (int i = 0; i < n; ++i) {
            float f;
            std::memcpy(&f, &u[i], sizeof f);
            d[i] = std::isfinite(f) ? f : 0.0;
        }
    }
    if (doublesUsed_ > n) std::fill(d + n, d + doublesUsed_, 0.0);
    doublesUsed_ = n;
}

const double* SegySampleDecoder::decodeFloats(const unsigned char* p, int n, int code, bool be) {
    if (!segyFloatFormat(code)) return nullptr;
    floatsToDoubles(p, n, code, be);
    return doubles_.data();
}

void SegySampleDecoder::finishFloats(int n, Sample* dst) const {
    doublesToSamples(doubles_.data(), n, dst);
}

void SegySampleDecoder::decode(const unsigned char* p, int n, int code, bool be, long long mul,
                               long long add, Sample* dst) {
    const bool plain = mul == 1 && add == 0;
    if (!segyFloatFormat(code)) {
        decodeWhole(p, n, code, be);
        const int32_t* w = whole_.data();
        if (plain)
            wholeToSamples(w, n, dst);
        else
            // Extended precision holds every product 64-bit integers hold, and
            // the ones they cannot are values, not overflows.
            for (int i = 0; i < n; ++i)
                dst[i] = (static_cast<Sample>(w[i]) + static_cast<Sample>(add)) *
                         static_cast<Sample>(mul);
        return;
    }
    floatsToDoubles(p, n, code, be);
    doublesToSamples(doubles_.data(), n, dst);
    if (!plain)
        for (int i = 0; i < n; ++i) dst[i] = (dst[i] + add) * mul;
}

} // namespace tarnix
