#include "core/session.h"

#include "core/error.h"
#include "core/extended.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace tarnix {

const char* paletteName(int position) {
    static const char* const kNames[9] = {
        "only +, gray levels    ", "only -, gray levels    ", "+/-, gray levels       ",
        "color palette 1        ", "color palette 2        ", "color palette 3        ",
        "color palette 4        ", "color palette 5        ", "color palette 6        "};
    if (position < 0 || position > 8) return "";
    return kNames[position];
}

Session::Session() = default;

void Session::checkShotIndex(int shot) {
    if (shot < 0 || shot > kMaxShot)
        throw IoError("Shot " + std::to_string(shot) + " is outside the shot tables (0 to " +
                      std::to_string(kMaxShot) + "); the run stops here");
}

int Session::shotEntry(int shot) const {
    const long long i = static_cast<long long>(shot) - shotTableBase;
    return i < 0 || i > kMaxShot ? -1 : static_cast<int>(i);
}

size_t Session::shotIndex(int shot) const {
    const int i = shotEntry(shot);
    if (i < 0) {
        if (shotTableBase == 0) checkShotIndex(shot);
        throw IoError("Shot " + std::to_string(shot) + " is outside the shot tables (" +
                      std::to_string(shotTableBase) + " to " +
                      std::to_string(static_cast<long long>(shotTableBase) + kMaxShot) +
                      "); the run stops here");
    }
    return static_cast<size_t>(i);
}

std::string delayText(double delayMs) {
    return "DELAY =" + fixedText(delayMs, 1, 3);
}

void writeWindowZeros(Session& s, int from, int end, WindowZeros::Range vouched) {
    // Zeros go where the vouched range does not reach (below it and above it).
    const bool apart = vouched.empty() || vouched.to <= from || vouched.from >= end;
    const int below = apart ? end : std::clamp(vouched.from, from, end);
    const int above = apart ? end : std::clamp(vouched.to, from, end);
    std::fill(s.current.begin() + from, s.current.begin() + below, Sample(0));
    std::fill(s.current.begin() + above, s.current.begin() + end, Sample(0));
    s.zeros.copied = {from, end};
}

WindowSpan windowSpan(const Session& s) {
    const auto n = static_cast<int32_t>(truncate((s.EndSweep() - s.StartSweep()) * s.SampleRate));
    const long long first = roundHalfEven(s.StartSweep() * s.SampleRate);
    return {n, first < 0 ? 0 : first};
}

void completeCurrent(Session& s) {
    const Session::PendingDoubles pending = s.pendingDoubles;
    s.pendingDoubles = {};
    if (!s.deferred.held()) return;
    if (s.input) s.input->finishDeferredRead(s);
    s.deferred = {};
    if (pending.values) doublesToSamples(pending.values, pending.count, s.current.data());
}

void windowCopy(Session& s) {
    const auto [numSamples, first] = windowSpan(s);
    s.NumSamples = numSamples;
    s.deferred = {};
    s.pendingDoubles = {};
    const auto [live, vouched] = s.zeros.takeForCopy();
    if (first <= kReadSlots - 1) {
        // Slots first..16383 move down to 0..16383-first. Above the reader's
        // samples raw holds zeros, which need writing only where the current
        // trace may hold something else: this runs for every trace of a run.
        const int end = kReadSlots - static_cast<int>(first);
        const int liveEnd = std::clamp(live - static_cast<int>(first), 0, end);
        std::memmove(s.current.data(), s.raw.data() + first,
                     static_cast<size_t>(liveEnd) * sizeof(Sample));
        writeWindowZeros(s, liveEnd, end, vouched);
    }
    s.Edit2 = delayText(s.header.Delay);
}

void commitInput(Session& s, std::unique_ptr<InputFile> in, int traces, const std::string& fileName,
                 const std::string& note) {
    s.input = std::move(in);
    s.InputOpen = true;
    s.NumTraces = traces;
    s.Edit4 = "Input File:" + fileName + " open";
    if (!note.empty()) s.Edit4 += " (" + note + ")";
    windowCopy(s);
}

void setupProfileGeometry(Session& s) {
    s.ProfileOriginX = 50;
    s.ProfileOriginY = 50;
    int rows = s.display.NVP();
    if (rows % 2 == 0) rows -= 1;
    s.ImageRows = rows;
    const long long cols = static_cast<long long>(s.display.Rep()) * s.NumTraces;
    s.ImageColumns = static_cast<int32_t>(std::clamp<long long>(cols, INT32_MIN, INT32_MAX));
}

void CLOSE_FILES(Session& s) {
    if (s.InputOpen) {
        s.input.reset();
        s.InputOpen = false;
    }
    s.FullScaleFromData = false;
    if (s.OutputOpen) {
        s.OutputOpen = false;
        auto out = std::move(s.refOut);
        if (out) out->close();
    }
}

void RESET_FILES(Session& s) {
    // Every output is closed even when an earlier close fails; the first error wins.
    std::string firstError;
    auto closeOut = [&](std::unique_ptr<OutputFile>& f) {
        if (!f) return;
        auto out = std::move(f);
        try {
            out->close();
        } catch (const Error& e) {
            if (firstError.empty()) firstError = e.what();
        }
    };
    if (s.OutputKorvaOpen) {
        closeOut(s.korvaOut);
        s.OutputKorvaOpen = false;
    }
    s.SegyDataOffset = 3600;
    if (s.input) s.input->rewind(s);
    if (s.OutputSegyOpen) {
        closeOut(s.segyOut);
        s.OutputSegyOpen = false;
    }
    closeOut(s.asciiOut);
    if (!firstError.empty()) throw IoError(firstError);
}

void CLEAR_NAV_GRID(Session& s) {
    auto& grid = s.navigationGrid;
    for (size_t row = 1; row < grid.size(); ++row) {
        const bool wasEmpty = grid[row].empty();
        grid[row].clear();
        if (wasEmpty) break;
    }
}

void clearAllNavRows(Session& s) {
    auto& grid = s.navigationGrid;
    for (size_t row = 1; row < grid.size(); ++row) grid[row].clear();
}

std::string& navGridRow(Session& s, int row) {
    auto& grid = s.navigationGrid;
    if (static_cast<int>(grid.size()) <= row) grid.resize(static_cast<size_t>(row) + 1);
    grid[0] = kNavHeading;
    return grid[static_cast<size_t>(row)];
}

std::string UpDate_PosString(Session& s) {
    if (s.input) {
        const std::string& p = s.input->posString(); // no copy: this runs per trace
        if (!p.empty()) s.positionString = p;
    }
    return s.positionString;
}

} // namespace tarnix
