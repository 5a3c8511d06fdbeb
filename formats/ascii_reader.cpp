#include "formats/ascii_reader.h"

#include "core/error.h"
#include "core/numtext.h"
#include "formats/boundary_file.h"
#include "formats/korva_record.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace tarnix {

namespace {

bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\v' || c == '\f';
}

// A table of this many samples would take gigabytes as 80-bit values.
constexpr long long kMaxTableSamples = 64LL << 20;

void fillKorvaHeader(unsigned char* h, uint32_t marker, uint32_t seq, int freqIndex) {
    std::fill(h, h + korva::kHeaderBytes, 0);
    putKorvaU32(h, korva::kScanMarker, marker);
    putKorvaU32(h, korva::kScanSeq, seq);
    putKorvaU32(h, korva::kUserSize, 256);
    putKorvaU32(h, korva::kTrigDelay, 0);
    putKorvaU32(h, korva::kTrigLength, 16384);
    putKorvaU16(h, korva::kSamFreqIdx, static_cast<uint16_t>(freqIndex));
    h[korva::kBitsPerSample] = 16;
    h[korva::kNumChannels] = 1;
    h[korva::kOffsetBin] = 1;
    h[korva::kReserved] = 0;
}

} // namespace

AsciiTable parseAsciiTable(std::string_view text, const std::string& path) {
    AsciiTable t;
    std::vector<std::vector<Sample>> rows; // line by line while reading
    std::vector<Sample> row;
    bool cut = false;
    forEachLine(text, [&](std::string_view line, int lineNo) {
        if (cut) return;
        row.clear();
        size_t at = 0;
        while (at < line.size()) {
            while (at < line.size() && isSeparator(line[at])) ++at;
            const size_t start = at;
            while (at < line.size() && !isSeparator(line[at])) ++at;
            if (start == at) break;
            const std::string_view word = line.substr(start, at - start);
            long double v;
            if (!tryParseFloat(word, v))
                throw IoError(path + ": line " + std::to_string(lineNo) + ": '" +
                              std::string(word) + "' is not a number");
            // The first line decides the columns; later extra numbers are not read.
            if (t.traces == 0 || static_cast<int>(row.size()) < t.traces) row.push_back(v);
        }
        if (row.empty()) return;
        if (t.traces == 0) {
            t.traces = static_cast<int>(row.size());
        } else if (static_cast<int>(row.size()) < t.traces) {
            throw IoError(path + ": line " + std::to_string(lineNo) + " holds " +
                          std::to_string(row.size()) + " numbers, the first sample line " +
                          std::to_string(t.traces));
        }
        if (static_cast<int>(rows.size()) == kReadSlots) {
            cut = true;
            t.note = "sample lines after the " + std::to_string(kReadSlots) + "th (line " +
                     std::to_string(lineNo) + " on) are left out";
            return;
        }
        if (static_cast<long long>(rows.size() + 1) * t.traces > kMaxTableSamples)
            throw IoError(path + ": a table of " + std::to_string(t.traces) +
                          " columns can hold at most " +
                          std::to_string(kMaxTableSamples / t.traces) + " lines");
        rows.push_back(row);
    });
    if (rows.empty()) throw IoError(path + ": the file holds no numbers");
    t.lines = static_cast<int>(rows.size());
    t.samples.resize(static_cast<size_t>(t.traces) * t.lines);
    for (int j = 0; j < t.lines; ++j)
        for (int k = 0; k < t.traces; ++k)
            t.samples[static_cast<size_t>(k) * t.lines + j] = rows[static_cast<size_t>(j)][k];
    return t;
}

AsciiInput::AsciiInput(std::string path)
    : path_(std::move(path)), table_(parseAsciiTable(readWholeFile(path_), path_)) {}

void AsciiInput::readTrace(Session& s, int k) {
    if (k > table_.traces)
        throw EndOfData("End of data: " + path_ + " has " + std::to_string(table_.traces) +
                        " columns, there is no trace " + std::to_string(k));
    if (k < 1) throw IoError(path_ + ": traces are columns 1 to " + std::to_string(table_.traces));
    const auto hints = s.zeros.takeForCopy();
    const Sample* col = table_.samples.data() + static_cast<size_t>(k - 1) * table_.lines;
    std::copy(col, col + table_.lines, s.current.begin());
    writeWindowZeros(s, table_.lines, kReadSlots, hints.vouched);
    // As the window copy of the other formats counts it.
    s.NumSamples = static_cast<int32_t>(truncate((s.EndSweep() - s.StartSweep()) * s.SampleRate));
    s.header.ShotNumber = k;
    s.header.Delay = 0;
    unsigned char* h = s.korva.record20.data();
    fillKorvaHeader(h, std::bit_cast<uint32_t>(1.0f), static_cast<uint32_t>(k), 2);
    setKorvaNavText(h, "not determined");
}

void AsciiInput::readRunTrace(Session& s, int shot) {
    const size_t entry = s.shotIndex(shot);
    readTrace(s, shot);
    s.navText[entry].clear();
}

bool AsciiInput::readSingleTrace(Session& s, int shot) {
    readTrace(s, shot);
    return true;
}

void openAsciiFile(Session& s) {
    auto in = std::make_unique<AsciiInput>(s.InputFileName);
    const AsciiTable& t = in->table();
    s.FullScale = 16384;
    s.FullScaleFromData = false;
    // The header grid and KORVA output have a header, at the rate known so far.
    const float marker = static_cast<float>(s.SampleRate);
    fillKorvaHeader(s.korva.first20.data(), std::bit_cast<uint32_t>(marker), 1, 99);
    putKorvaU16(s.korva.first20.data(), korva::kTrigExtType, 1);
    putKorvaU16(s.korva.first20.data(), korva::kTrigLevel, 1);
    in->readTrace(s, 1);
    s.NumTraces = t.traces;
    s.Edit2 =
        "Input File:" + s.InputFileName + " open" + (t.note.empty() ? "" : " (" + t.note + ")");
    s.input = std::move(in);
    s.InputOpen = true;
}

void asciiSelectOk(Session& s) {
    long double rate;
    if (!tryParseFloat(s.ascii.S_Redit, rate) || !(rate > 0) || !std::isfinite(rate))
        throw ConversionError("Sampling Frequency '" + s.ascii.S_Redit +
                              "' is not a rate above 0 kHz");
    if (!usableSampleRate(rate))
        throw ConversionError("Sampling Frequency '" + s.ascii.S_Redit + "' is above " +
                              floatText(kMaxSampleRate) + " kHz");
    s.SampleRate = rate;
    s.NumSamples = static_cast<int32_t>(truncate((s.EndSweep() - s.StartSweep()) * rate));
    s.korvaRateIndex = korvaRateCode(rate);
    s.korvaRateValue = s.korvaRateIndex == 99 ? fixedText(rate, 9) : std::string();
    prepareAsciiShots(s);
}

void prepareAsciiShots(Session& s) {
    const auto slash = s.InputFileName.find_last_of('/');
    s.shots.Label1 = "File:  " + (slash == std::string::npos ? s.InputFileName
                                                             : s.InputFileName.substr(slash + 1));
    s.shots.Label2 = "Total: " + std::to_string(s.NumTraces);
    s.shots.StartShot.set(1);
    // The range ends after the last column, so a run reads every one.
    s.shots.EndShot.set(s.NumTraces + 1);
}

} // namespace tarnix
