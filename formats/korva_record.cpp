#include "formats/korva_record.h"

#include "core/byte_order.h"
#include "core/numtext.h"

#include <algorithm>
#include <cstring>

namespace tarnix {

namespace {

struct RateEntry {
    int index;
    const char* kHz; // as a text, so 15.151515152 is the rate its text reads
};
// In the order the writer looks a rate up.
constexpr RateEntry kRates[] = {{0, "0.5"},    {1, "1.0"},    {2, "2.0"},   {4, "4.0"},
                                {5, "8.0"},    {6, "11.025"}, {7, "22.05"}, {8, "44.1"},
                                {9, "16.5"},   {10, "100.0"}, {12, "48.0"}, {13, "15.151515152"},
                                {20, "2000.0"}};

struct GridField {
    const char* name;
    const char* comment;
};
constexpr GridField kGridFields[13] = {
    {"scan_marker", "marks scan beginning"},
    {"scan_seq", "absolute scan number (shot number)"},
    {"user_size", "user_size"},
    {"trigDelay", "delay applied during acquisition"},
    {"trigLenght", "duration of the trigger pulse"},
    {"TrigMode", "trigger mode (internal/external)"},
    {"TrigExtType", "type of external trigger"},
    {"TrigLevel", "level of the external trigger"},
    {"SamFreqIdx", "sampling frequency"},
    {"BitsPerSample", "number of bits for each sample"},
    {"NumChannels", "acquisition channels"},
    {"OffsetBin", "binary offset"},
    {"Reserved", "Reserved"},
};

} // namespace

uint32_t korvaU32(const unsigned char* header, int offset) {
    return getU32LE(header + offset);
}
uint16_t korvaU16(const unsigned char* header, int offset) {
    return getU16LE(header + offset);
}
void putKorvaU32(unsigned char* header, int offset, uint32_t v) {
    putI32LE(header + offset, static_cast<int32_t>(v));
}
void putKorvaU16(unsigned char* header, int offset, uint16_t v) {
    putI16LE(header + offset, v);
}

std::string korvaNavText(const unsigned char* header) {
    const int n = std::min<int>(header[korva::kNavText], korva::kNavChars);
    return std::string(reinterpret_cast<const char*>(header + korva::kNavText + 1),
                       static_cast<size_t>(n));
}

void setKorvaNavText(unsigned char* header, std::string_view text) {
    const size_t n = std::min<size_t>(text.size(), korva::kNavChars);
    header[korva::kNavText] = static_cast<unsigned char>(n);
    std::memset(header + korva::kNavText + 1, 0, korva::kNavChars);
    std::memcpy(header + korva::kNavText + 1, text.data(), n);
}

namespace {
const std::array<long double, std::size(kRates)>& rateValues() {
    static const auto values = [] {
        std::array<long double, std::size(kRates)> v{};
        for (size_t i = 0; i < v.size(); ++i) v[i] = parseFloat(kRates[i].kHz);
        return v;
    }();
    return values;
}
} // namespace

std::optional<long double> korvaIndexRate(const unsigned char* header) {
    const int index = korvaU16(header, korva::kSamFreqIdx);
    if (index == korva::kRateFromMarker) return getF32LE(header + korva::kScanMarker);
    for (size_t i = 0; i < std::size(kRates); ++i)
        if (kRates[i].index == index) return rateValues()[i];
    return std::nullopt;
}

int korvaRateCode(long double rate) {
    for (size_t i = 0; i < std::size(kRates); ++i)
        if (rateValues()[i] == rate) return kRates[i].index;
    return korva::kRateFromMarker;
}

std::vector<std::array<std::string, 3>> korvaHeaderGrid(const unsigned char* h,
                                                        long double sampleRate) {
    std::vector<std::array<std::string, 3>> g(14);
    g[0] = {"Field", "Value", "Comment"};
    for (int r = 1; r <= 13; ++r) {
        g[r][0] = kGridFields[r - 1].name;
        g[r][2] = kGridFields[r - 1].comment;
    }
    g[2][1] = std::to_string(korvaU32(h, korva::kScanSeq));
    g[3][1] = std::to_string(korvaU32(h, korva::kUserSize));
    g[4][1] = std::to_string(korvaU32(h, korva::kTrigDelay));
    g[5][1] = std::to_string(korvaU32(h, korva::kTrigLength));
    g[6][1] = std::to_string(korvaU16(h, korva::kTrigMode));
    g[7][1] = std::to_string(korvaU16(h, korva::kTrigExtType));
    g[8][1] = std::to_string(korvaU16(h, korva::kTrigLevel));
    g[9][1] = std::to_string(korvaU16(h, korva::kSamFreqIdx)) + " - " +
              fixedText(sampleRate, 4, 2) + " Khz";
    g[10][1] = std::to_string(h[korva::kBitsPerSample]);
    g[11][1] = std::to_string(h[korva::kNumChannels]);
    g[12][1] = std::to_string(h[korva::kOffsetBin]);
    g[13][1] = std::to_string(h[korva::kReserved]);
    return g;
}

void fillKorvaTemplates(Session& s, int32_t fieldRecord, bool bigEndian) {
    static const std::string blanks(korva::kNavChars, ' '); // made once: this runs per trace
    for (KorvaHeaders::Header* h : {&s.korva.record20, &s.korva.record05}) {
        putKorvaU32(h->data(), korva::kScanSeq, static_cast<uint32_t>(fieldRecord));
        (*h)[korva::kBitsPerSample] = 16;
        if (bigEndian) setKorvaNavText(h->data(), blanks);
    }
}

} // namespace tarnix
