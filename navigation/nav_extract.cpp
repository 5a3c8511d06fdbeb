#include "navigation/nav_extract.h"

#include "core/error.h"
#include "core/numtext.h"
#include "core/session.h"
#include "formats/file_open.h"
#include "formats/segy_header.h"
#include "formats/segy_reader.h"
#include "formats/segy_text.h"
#include "navigation/nav_file.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>

namespace tarnix {

namespace {

constexpr int kFileHeaderBytes = 3600;
constexpr int kTraceHeaderBytes = 240;

// Reads the header of trace `shot` at `pos` into a host-layout record.
SegyTraceRecord readRecord(SegyInput& in, long long pos, int shot, bool bigEndian) {
    std::array<unsigned char, kTraceHeaderBytes> raw{};
    in.readTraceHeader(pos, shot, raw.data());
    SegyTraceRecord rec{};
    if (bigEndian)
        decodeBigEndianHeader(raw.data(), rec);
    else
        rec = raw;
    return rec;
}

// Samples per trace for locating the next trace, as the trace reader takes it.
int samplesOf(const SegyInput& in, const SegyTraceRecord& rec, int shot) {
    const int ns =
        in.layout().nsOverride > 0 ? in.layout().nsOverride : segyGet(rec, segy::NumSamples);
    if (ns <= 0 || ns > kReadSlots)
        throw IoError(in.path() + ": trace " + std::to_string(shot) + " announces " +
                      std::to_string(ns) + " samples; a trace holds 1 to " +
                      std::to_string(kReadSlots));
    return ns;
}

} // namespace

std::string extractNavFile(Session& s, const std::string& segyPath) {
    const long long xFactor = parseInt(s.segy.XEditscaler);
    const long long yFactor = parseInt(s.segy.YEditScaler);
    const int k = s.HdrSelect();
    if (k < 1) throw Error("Fix every (shots) must be at least 1");

    SegyInput in(segyPath);
    if (in.fileSize() < kFileHeaderBytes + kTraceHeaderBytes)
        throw IoError(segyPath + " holds " + std::to_string(in.fileSize()) +
                      " bytes, too few for a SEG-Y file (its headers alone take 3840)");
    in.probe(s.segy);
    const bool bigEndian = in.readsBigEndian(s.segy);
    const long long first = kFileHeaderBytes + in.layout().extendedBytes();
    const int width = in.layout().sampleBytes();
    SegyTraceRecord rec = readRecord(in, first, 0, bigEndian);
    int ns = samplesOf(in, rec, 0);
    // Whole traces of one channel.
    const long long traces = (in.fileSize() - first) / (kTraceHeaderBytes + width * ns);

    std::array<unsigned char, kFileHeaderBytes> block{};
    in.readFileHeader(block.data(), kFileHeaderBytes);
    s.SEGYmemo =
        segyTextLines(block.data(), kFileHeaderBytes, s.segy.HeadType == SegyOptions::Ebcdic);
    // The count as the Select Shots window shows it: one more than the whole traces.
    s.Edit3 = std::to_string(traces + 1);

    const std::string navPath = navSidePath(segyPath);
    s.Edit4 = navPath;
    std::ofstream out(navPath, std::ios::binary | std::ios::trunc);
    if (!out) throw IoError("Cannot create " + navPath + ": " + std::strerror(errno));

    TraceHeader h;
    decodeSegyNavigation(rec, bigEndian, xFactor, yFactor, h);
    std::string text;
    for (long long i = k; i < traces; i += k) {
        const int shot = static_cast<int>(i);
        const long long pos = first + (kTraceHeaderBytes + static_cast<long long>(width) * ns) * i;
        rec = readRecord(in, pos, shot, bigEndian);
        ns = samplesOf(in, rec, shot);
        decodeSegyNavigation(rec, bigEndian, xFactor, yFactor, h);
        text += std::to_string(shot);
        for (const std::string* part :
             {&h.Year, &h.Day, &h.Hour, &h.Minute, &h.Second, &h.CoordYText, &h.CoordXText}) {
            text += ' ';
            text += *part;
        }
        text += " \n";
        if (text.size() > (1 << 20)) {
            out << text;
            text.clear();
        }
    }
    out << text;
    out.close();
    if (!out) throw IoError("Cannot write " + navPath);
    return navPath;
}

std::vector<std::string> extractNavigation(Session& s, const std::vector<std::string>& files) {
    std::vector<std::string> written;
    for (const std::string& f : files)
        if (formatOf(f) == InputFormat::Segy) written.push_back(extractNavFile(s, f));
    return written;
}

} // namespace tarnix
