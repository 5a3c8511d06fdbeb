#include "formats/file_open.h"

#include "core/error.h"
#include "core/session.h"
#include "formats/segy_reader.h"

#include <algorithm>

namespace tarnix {

InputFormat openCommand(Session& s, const std::string& chosen) {
    // Every row, wherever the rows in use end: no fix of the line before stays.
    clearAllNavRows(s);
    s.StartSweep.set(0);
    CLOSE_FILES(s);
    s.goEnabled = false;
    s.korva.resetTemplates();
    s.positionString.clear(); // a line without position texts writes none of the last line's
    s.shotTableBase = 0;
    if (!chosen.empty()) s.InputFileName = chosen;
    if (s.InputFileName.empty()) return InputFormat::None;
    s.Edit2 = "File Name: " + s.InputFileName;

    InputFormat f = InputFormat::None;
    if (const FormatEntry* e = formatEntryOf(s.InputFileName); e && e->open) {
        f = e->format;
        if (e->options == OptionsWindow::None)
            e->open(s);
        else if (e->prepare)
            e->prepare(s);
    }
    s.NumSamples = static_cast<int32_t>(truncate((s.EndSweep() - s.StartSweep()) * s.SampleRate));
    CLEAR_NAV_GRID(s);
    return f;
}

void segyOptionsOk(Session& s) {
    OPEN_SEGY(s, s.InputFileName, 0);
    s.NumTraces = segyTraceCount(s);
    // Shots are trace indexes from 0 and the count is one more than the whole
    // traces in the file, so this range reads every trace and no more.
    s.shots.StartShot.set(0);
    s.shots.EndShot.set(s.NumTraces - 1);
    auto slash = s.InputFileName.find_last_of('/');
    s.shots.Label1 = "File:  " + (slash == std::string::npos ? s.InputFileName
                                                             : s.InputFileName.substr(slash + 1));
    s.shots.Label2 = "Total: " + std::to_string(s.NumTraces);
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
    s.navigationGrid[0] = kNavHeading;

    s.Sel_ana_spin = RangedInt(std::min(start, end), std::max(start, end), start);

    if (spelledAs(s.rowFiles[0], InputFormat::Ascii) ||
        spelledAs(s.rowFiles[0], InputFormat::Seg2)) {
        s.SampleRate = parseFloat(s.ascii.S_Redit);
        s.korvaRateIndex = korvaRateCode(s.SampleRate);
        s.korvaRateValue = s.korvaRateIndex == 99 ? fixedText(s.SampleRate, 9) : std::string();
    }
}

} // namespace tarnix
