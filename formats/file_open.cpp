#include "formats/file_open.h"

#include "core/error.h"
#include "core/session.h"
#include "formats/segy_reader.h"

#include <algorithm>

namespace tarnix {

std::string upperExtension(const std::string& path) {
    auto slash = path.find_last_of('/');
    auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return upper(path.substr(dot));
}

InputFormat formatOf(const std::string& path) {
    const std::string e = upperExtension(path);
    if (e == ".SEG" || e == ".SGY" || e == ".SEGY") return InputFormat::Segy;
    if (e == ".D02") return InputFormat::Korva20;
    if (e == ".D05") return InputFormat::Korva05;
    if (e == ".TXT") return InputFormat::Ascii;
    if (e == ".BIN") return InputFormat::Binary;
    if (e == ".BMP") return InputFormat::Bitmap;
    if (e == ".XTF") return InputFormat::Xtf;
    return InputFormat::None;
}

bool formatBuilt(InputFormat f) {
    return f == InputFormat::Segy;
}

const char* openDialogFilters() {
    return "SEG-Y (*.seg *.sgy *.segy);;Tarnix 2.0 (*.D02 *.d02);;Tarnix 0.5 (*.D05 *.d05);;"
           "Ascii File (*.TXT *.txt);;BMP (*.bmp);;Binary Files (*.bin);;"
           "SEG-2 (*.dat *.DAT *.sg2);;Any File (*)";
}

namespace {
void clearNavGrid(Session& s) {
    for (auto& row : s.navigationGrid) row.clear();
}
} // namespace

InputFormat openCommand(Session& s, const std::string& chosen) {
    clearNavGrid(s);
    s.StartSweep.set(0);
    CLOSE_FILES(s);
    s.goEnabled = false;
    if (!chosen.empty()) s.InputFileName = chosen;
    if (s.InputFileName.empty()) return InputFormat::None;
    s.Edit2 = "File Name: " + s.InputFileName;

    InputFormat f = formatOf(s.InputFileName);
    if (!formatBuilt(f)) f = InputFormat::None;
    if (f == InputFormat::Segy) {
        s.segy.Z_scaler = SegyOptions::DelayField;
        s.segy.ChangeBox = false;
        s.segy.dataFormatCode = 0; // a format chosen for one file is not the next one's
    }
    s.NumSamples = static_cast<int32_t>(truncate((s.EndSweep() - s.StartSweep()) * s.SampleRate));
    clearNavGrid(s);
    return f;
}

void segyOptionsOk(Session& s) {
    OPEN_SEGY(s, s.InputFileName, 0);
    s.shots.StartShot.set(1);
    s.NumTraces = segyTraceCount(s);
    s.shots.EndShot.set(s.NumTraces);
    auto slash = s.InputFileName.find_last_of('/');
    s.shots.Label1 = "File:  " + (slash == std::string::npos ? s.InputFileName
                                                             : s.InputFileName.substr(slash + 1));
    s.shots.Label2 = "Total: " + std::to_string(s.NumTraces);
}

int korvaRateCode(long double rate) {
    static const struct {
        const char* text;
        int code;
    } kCodes[] = {{"0.5", 0},  {"1", 1},      {"2", 2},     {"4", 4},
                  {"8", 5},    {"11.025", 6}, {"22.05", 7}, {"44.1", 8},
                  {"16.5", 9}, {"100", 10},   {"48", 12},   {"15.151515152", 13},
                  {"2000", 20}};
    for (const auto& c : kCodes)
        if (parseFloat(c.text) == rate) return c.code;
    return 99;
}

void selectShotsOk(Session& s) {
    const int start = s.shots.StartShot(), end = s.shots.EndShot();
    s.NumTraces = end - start;
    s.goEnabled = true;
    s.ChannelToDisplay = s.shots.chan_to_display();

    // One row per shot, but never more than the shot tables can feed.
    const long long rows =
        std::clamp<long long>(static_cast<long long>(s.NumTraces) + 2, 1, kShotTableSize + 1);
    s.navigationGrid.resize(static_cast<size_t>(rows));
    s.navigationGrid[0] = "Navigation String";

    s.Sel_ana_spin = RangedInt(std::min(start, end), std::max(start, end), start);

    const std::string e = upperExtension(s.rowFiles[0]);
    const std::string raw = s.rowFiles[0].substr(s.rowFiles[0].size() - e.size());
    if (raw == ".txt" || raw == ".TXT" || raw == ".seg2" || raw == ".SEG2") {
        s.SampleRate = parseFloat(s.ascii.S_Redit);
        s.korvaRateIndex = korvaRateCode(s.SampleRate);
        s.korvaRateValue = s.korvaRateIndex == 99 ? fixedText(s.SampleRate, 9) : std::string();
    }
}

} // namespace tarnix
