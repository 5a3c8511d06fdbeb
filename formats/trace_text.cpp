#include "formats/trace_text.h"

#include "core/error.h"
#include "core/numtext.h"
#include "formats/format_table.h"

#include <algorithm>
#include <fstream>
#include <vector>

namespace tarnix {

void writeTraceAscii(std::ostream& out, const TraceBuffer& trace, int numSamples,
                     long double sampleRate) {
    const int n = std::min(numSamples, kTraceSlots);
    for (int i = 1; i <= n; ++i) {
        // A zero rate has no time axis; the sample number stands in for it.
        long double t = sampleRate != 0 ? i / sampleRate : static_cast<long double>(i);
        out << fixedText(t, 8, 3) << ' ' << fixedText(trace[i - 1], 8, 3) << '\n';
    }
}

void saveTraceAscii(const std::string& path, const TraceBuffer& trace, int numSamples,
                    long double sampleRate) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw IoError("Cannot create " + path);
    writeTraceAscii(out, trace, numSamples, sampleRate);
    out.close();
    if (!out) throw IoError("Cannot write " + path);
}

AsciiOutput::AsciiOutput(std::string path, int numSamples, long long firstRecord)
    : path_(std::move(path)) {
    out_.open(path_, std::ios::binary | std::ios::trunc);
    if (!out_) throw IoError("Cannot create " + path_);
    out_ << numSamples << '\n' << firstRecord << '\n';
}

void AsciiOutput::writeTrace(const TraceBuffer& trace, int numSamples, long double sampleRate) {
    writeTraceAscii(out_, trace, numSamples, sampleRate);
    if (!out_) throw IoError("Cannot write " + path_);
}

void AsciiOutput::close() {
    out_.close();
    if (!out_) throw IoError("Cannot write " + path_);
}

AsciiExport exportAscii(Session& s, const std::string& path) {
    if (!s.input || !spelledAs(s.InputFileName, InputFormat::Korva20))
        throw Error("Export Ascii reads KORVA 2.0 files (.d02); the input is " +
                    (s.InputFileName.empty() ? std::string("none") : s.InputFileName));
    constexpr int kMaxColumns = 512;
    AsciiExport e;
    const long long selected = static_cast<long long>(s.shots.EndShot()) - s.shots.StartShot();
    e.columns = static_cast<int>(std::clamp<long long>(selected, 0, kMaxColumns));
    if (selected > kMaxColumns)
        e.note = "shots from " + std::to_string(s.shots.StartShot() + kMaxColumns) +
                 " on are left out (at most " + std::to_string(kMaxColumns) + " columns)";
    const long long n = roundHalfEven(s.EndSweep() * s.SampleRate - s.StartSweep() * s.SampleRate);
    e.rows = static_cast<int>(std::clamp<long long>(n, 0, kMaxRunSamples));
    std::vector<double> table(static_cast<size_t>(e.columns) * e.rows);
    for (int t = 0; t < e.columns; ++t) {
        s.input->readSingleTrace(s, s.shots.StartShot() + t);
        for (int i = 0; i < e.rows; ++i)
            table[static_cast<size_t>(t) * e.rows + i] = static_cast<double>(s.current[i]);
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw IoError("Cannot create " + path);
    std::string line;
    for (int i = 0; i < e.rows; ++i) {
        line.clear();
        for (int t = 0; t < e.columns; ++t) {
            line += fixedText(table[static_cast<size_t>(t) * e.rows + i], 8, 3);
            line += ',';
        }
        line += '\n';
        out << line;
    }
    out.close();
    if (!out) throw IoError("Cannot write " + path);
    return e;
}

} // namespace tarnix
