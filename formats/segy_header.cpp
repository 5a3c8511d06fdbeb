#include "formats/segy_header.h"

#include "core/byte_order.h"

#include <stdexcept>

namespace tarnix {

namespace {

constexpr SegyField kFields[] = {
    {1, 32, "Trace Sequency Number within line ", ""},
    {5, 32, "Trace Sequency Number within reel ", ""},
    {9, 32, "Original field record number ", ""},
    {13, 32, "Channel Number ", ""},
    {17, 32, "Energy Source Power ", ""},
    {21, 32, "CDP Ensemble Number ", ""},
    {25, 32, "CDP Ensemble TN ", ""},
    {29, 16, "Trace ID ", "  [1 = seismic, 6 = sweep]"},
    {31, 16, "Vertical Stack ", ""},
    {33, 16, "Horizontal Stack ", ""},
    {35, 16, "Data use ", " (1 = production, 2 = test)"},
    {37, 32, "Source/Receiver Distance ", ""},
    {41, 32, "Receiver Elevation ", ""},
    {45, 32, "Surface Elevation at Source ", ""},
    {49, 32, "Source Depth ", ""},
    {53, 32, "Datum elevation at receiver group ", ""},
    {57, 32, "Datum elevation at source ", ""},
    {61, 32, "Water depth at source ", ""},
    {65, 32, "Water depth at group ", ""},
    {69, 16, "Scaler to be applied to all elevation and depths ", ""},
    {71, 16, "Scaler to be applied to all coordinates ", ""},
    {73, 32, "Source longitude ", ""},
    {77, 32, "Source latitude ", ""},
    {81, 32, "Group longitude ", ""},
    {85, 32, "Group latitude ", ""},
    {89, 16, "Coordinates units ", "  (2 = seconds of arc)"},
    {91, 16, "Weathering velocity ", ""},
    {93, 16, "Subweathering velocity ", ""},
    {95, 16, "Uphole_time_source ", ""},
    {97, 16, "Uphole_time_group ", ""},
    {99, 16, "Source Static Correction ", ""},
    {101, 16, "Group Static Correction ", ""},
    {103, 16, "Total Static Applied ", ""},
    {105, 16, "Lag Time A ", ""},
    {107, 16, "Lag Time B ", ""},
    {109, 16, "Delay recording ", ""},
    {111, 16, "Mute Time Start ", ""},
    {113, 16, "Mute Time End ", ""},
    {115, 16, "Number of Samples ", ""},
    {117, 16, "Sample Interval ", " (*microseconds*)"},
    {119, 16, "Gain Type ", ""},
    {121, 16, "Instrument Gain ", ""},
    {123, 16, "Instrument early Gain ", "( db, Hardware gain)"},
    {125, 16, "Correlated ", " (1 = no, 2 = yes)"},
    {127, 16, "Sweep Start Frequency ", ""},
    {129, 16, "Sweep End Frequency ", ""},
    {131, 16, "Sweep Length ", " ms"},
    {133, 16, "Sweep Type ", ""},
    {135, 16, "Taper Length Start ", " (*in ms*)"},
    {137, 16, "Taper Length End  ", " (*in ms*)"},
    {139, 16, "Taper Type ", ""},
    {141, 16, "Alias Filter Frequency ", ""},
    {143, 16, "Alias Filter Slope ", ""},
    {145, 16, "Notch Filter Frequency ", ""},
    {147, 16, "Notch Filter Slope ", ""},
    {149, 16, "Low-Cut Frequency ", ""},
    {151, 16, "High-Cut Frequency ", ""},
    {153, 16, "Low-Cut Slope ", ""},
    {155, 16, "High-Cut Slope ", ""},
    {157, 16, "Year ", ""},
    {159, 16, "Day ", ""},
    {161, 16, "Hour ", ""},
    {163, 16, "Minute ", ""},
    {165, 16, "Second ", ""},
    {167, 16, "Time basis code ", " (1=local)"},
    {169, 16, "Trace weighting ", ""},
    {171, 16, "Geo_gro_num_roll ", ""},
    {173, 16, "Geo_gro_num_ftrace ", ""},
    {175, 16, "Geo_gro_num_ltrace ", ""},
    {177, 16, "Gap_size ", ""},
    {179, 16, "Overtravel ", ""},
};

// The fields follow one another without overlapping, inside bytes 1 to 180.
constexpr bool fieldsTileTheHeader() {
    int next = 1;
    for (const auto& f : kFields) {
        if ((f.width != 16 && f.width != 32) || f.byte < next) return false;
        next = f.byte + f.width / 8;
    }
    return next == 181;
}
static_assert(fieldsTileTheHeader(), "SEG-Y trace header fields out of order or overlapping");

// Width by first byte, for the named-field accessors.
struct WidthTable {
    std::array<unsigned char, 241> w{};
    constexpr WidthTable() {
        for (const auto& f : kFields) w[f.byte] = static_cast<unsigned char>(f.width);
    }
};
constexpr WidthTable kWidths;

} // namespace

std::span<const SegyField> segyTraceFields() {
    return kFields;
}

int segyFieldWidth(int byte) {
    if (byte < 1 || byte > 180 || kWidths.w[byte] == 0)
        throw std::out_of_range("no SEG-Y trace header field starts at byte " +
                                std::to_string(byte));
    return kWidths.w[byte];
}

int32_t segyGet(const SegyTraceRecord& r, int byte) {
    const unsigned char* p = r.data() + byte - 1;
    return segyFieldWidth(byte) == 32 ? getI32LE(p) : getI16LE(p);
}

void segySet(SegyTraceRecord& r, int byte, int32_t value) {
    unsigned char* p = r.data() + byte - 1;
    if (segyFieldWidth(byte) == 32)
        putI32LE(p, value);
    else
        putI16LE(p, value);
}

void decodeBigEndianHeader(const unsigned char* be, SegyTraceRecord& r) {
    for (const auto& f : kFields) {
        const unsigned char* src = be + f.byte - 1;
        unsigned char* dst = r.data() + f.byte - 1;
        if (f.width == 32)
            putI32LE(dst, getI32BE(src));
        else
            putI16LE(dst, getI16BE(src));
    }
}

void encodeBigEndianHeader(const SegyTraceRecord& r, unsigned char* be) {
    for (const auto& f : kFields) {
        const unsigned char* src = r.data() + f.byte - 1;
        unsigned char* dst = be + f.byte - 1;
        if (f.width == 32)
            putI32BE(dst, getI32LE(src));
        else
            putI16BE(dst, getI16LE(src));
    }
    for (int i = 180; i < 240; ++i) be[i] = r[i];
}

std::vector<std::string> segyHeaderListing(const SegyTraceRecord& r) {
    std::vector<std::string> lines;
    lines.reserve(std::size(kFields) + 1);
    lines.emplace_back("******************* SHOT HEADER **************************");
    for (const auto& f : kFields)
        lines.push_back(std::string(f.label) + std::to_string(segyGet(r, f.byte)) + f.suffix);
    return lines;
}

} // namespace tarnix
