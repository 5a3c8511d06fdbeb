#include "display/profile_layout.h"

#include "core/numtext.h"
#include "core/session.h"

#include <algorithm>
#include <filesystem>

namespace tarnix {

int profileImageWidth(const Session& s) {
    long long w = static_cast<long long>(s.ImageColumns) + 2 * kProfileMargin;
    return static_cast<int>(std::clamp<long long>(w, 0, INT32_MAX));
}

int profileImageHeight(const Session& s) {
    long long h = static_cast<long long>(s.ImageRows) + 2 * kProfileMargin;
    return static_cast<int>(std::clamp<long long>(h, 0, INT32_MAX));
}

int shotFirstColumn(int i, int rep) {
    return kProfileMargin + (i - 1) * rep + 1;
}
int shotLastColumn(int i, int rep) {
    return kProfileMargin + i * rep;
}

std::vector<int> rowSlots(int rows, int n) {
    std::vector<int> slots;
    if (rows <= 0) return slots;
    // Slots past the buffer cannot be shown; the run never asks for them.
    n = std::min(n, kTraceSlots);
    slots.resize(static_cast<size_t>(rows) + 1);
    for (int r = 0; r <= rows; ++r) {
        long long k = roundHalfEven(static_cast<long double>(r) / rows * n);
        slots[r] = k >= 1 ? static_cast<int>(k - 1) : -1;
    }
    return slots;
}

namespace {

// Row of a value v in a scale starting at v0 with `perRow` units per row; a scale
// with no extent puts everything on the first row.
int scaleRow(long double v, long double v0, long double perRow) {
    if (perRow == 0) return kProfileMargin;
    return static_cast<int>(truncate((v - v0) / perRow)) + kProfileMargin;
}

// Whether a label interval selects the value; an interval of 0 selects none.
bool onInterval(long long v, int interval) {
    return interval > 0 && v % interval == 0;
}

} // namespace

AnnotationLayout annotationLayout(const Session& s) {
    AnnotationLayout L;
    const int rep = s.display.Rep();
    const int S = s.display.ShotFreq();
    const int T = s.display.TimeFreq();
    const long long startShot = s.shots.StartShot(), endShot = s.shots.EndShot();
    const int startSweep = s.StartSweep(), endSweep = s.EndSweep();
    const int rows = s.ImageRows;
    const long long delay = truncate(s.header.Delay);
    const int width = profileImageWidth(s);

    if (rows > 0) {
        // Shot labels along the top.
        for (long long shot = startShot; shot <= endShot; ++shot) {
            long long x = (shot - startShot) * rep + kProfileMargin;
            if (x > width) break; // the rest would fall outside the image
            if (shot == startShot || shot == endShot || onInterval(shot, S)) {
                int xi = static_cast<int>(x);
                L.texts.push_back({xi, 25, std::to_string(shot)});
                L.lines.push_back({xi, 50, xi, 43});
            }
        }

        // Times on the left (with the delay) and, without depth labels, on the right.
        const long double q = static_cast<long double>(endSweep - startSweep) / rows;
        const int x0 = s.ImageColumns + kProfileMargin;
        const long long gridEnd = static_cast<long long>(rep) * s.NumTraces + 57;
        for (int t = startSweep; t <= endSweep; ++t) {
            if (!(t == startSweep || t == endSweep || onInterval(t, T))) continue;
            int y = scaleRow(t, startSweep, q);
            L.texts.push_back({10, y, std::to_string(t + delay)});
            L.lines.push_back({50, y, 43, y});
            if (s.display.Grid() > 0 && t < rows - 20)
                L.lines.push_back(
                    {50, y, static_cast<int>(std::min<long long>(gridEnd, INT32_MAX)), y});
        }
        if (s.display.DlabelCheck) {
            const long double v = s.display.SoundSpeedEdit();
            const long long d0 =
                roundHalfEven(0.75L * static_cast<long double>(s.header.Delay)) / 2;
            const long long dS = d0 + roundHalfEven(startSweep * v / 2000);
            const long long dE = d0 + roundHalfEven(endSweep * v / 2000);
            const long double p = static_cast<long double>(dE - dS) / rows;
            for (long long d = dS; d <= dE; ++d) {
                if (!(d == dS || d == dE || onInterval(d, T))) continue;
                int y = scaleRow(d, dS, p);
                std::string label(1, '(');
                label += std::to_string(d0 + d);
                label += ')';
                L.texts.push_back({x0 + 12, y, std::move(label)});
                L.lines.push_back({x0 + 1, y, x0 + 7, y});
            }
        } else {
            for (int t = startSweep; t <= endSweep; ++t) {
                if (!(t == startSweep || t == endSweep || onInterval(t, T))) continue;
                int y = scaleRow(t, startSweep, q);
                L.texts.push_back({x0 + 12, y, std::to_string(t)});
                L.lines.push_back({x0 + 1, y, x0 + 7, y});
            }
        }
    }

    L.lines.push_back({50, rows + 50, 43, rows + 50});
    L.dataArea = {50, 50, s.ImageColumns + 51, rows + 51};
    L.hasDataArea = true;
    return L;
}

std::vector<AnnotationText> thinnedTimeLabels(const std::vector<AnnotationText>& texts,
                                              int textHeight) {
    std::vector<bool> keep(texts.size(), true);
    std::vector<bool> seen(texts.size(), false);
    for (size_t i = 0; i < texts.size(); ++i) {
        if (seen[i]) continue;
        // One column: the labels at this x, in drawing order (top to bottom).
        std::vector<size_t> column;
        for (size_t j = i; j < texts.size(); ++j)
            if (texts[j].x == texts[i].x) {
                column.push_back(j);
                seen[j] = true;
            }
        size_t last = column.front();
        for (size_t c = 1; c < column.size(); ++c) {
            const size_t j = column[c];
            const bool end = c + 1 == column.size();
            if (texts[j].y - texts[last].y >= textHeight) {
                last = j;
            } else if (end && last != column.front()) {
                keep[last] = false; // the end label wins over its neighbour
                last = j;
            } else {
                keep[j] = false;
            }
        }
    }
    std::vector<AnnotationText> out;
    for (size_t i = 0; i < texts.size(); ++i)
        if (keep[i]) out.push_back(texts[i]);
    return out;
}

std::vector<AnnotationText> thinnedLabels(const std::vector<AnnotationText>& texts, int textHeight,
                                          const std::function<int(const std::string&)>& textWidth) {
    constexpr int kGap = 4; // pixels between two labels of a row
    std::vector<AnnotationText> in = thinnedTimeLabels(texts, textHeight);
    std::vector<bool> keep(in.size(), true);
    std::vector<bool> seen(in.size(), false);
    for (size_t i = 0; i < in.size(); ++i) {
        if (seen[i]) continue;
        std::vector<size_t> row;
        for (size_t j = i; j < in.size(); ++j)
            if (in[j].y == in[i].y) {
                row.push_back(j);
                seen[j] = true;
            }
        std::stable_sort(row.begin(), row.end(),
                         [&](size_t a, size_t b) { return in[a].x < in[b].x; });
        size_t last = row.front();
        for (size_t c = 1; c < row.size(); ++c) {
            const size_t j = row[c];
            const bool end = c + 1 == row.size();
            if (in[j].x >= in[last].x + textWidth(in[last].text) + kGap) {
                last = j;
            } else if (end && last != row.front()) {
                keep[last] = false; // the last shot wins over its neighbour
                last = j;
            } else {
                keep[j] = false;
            }
        }
    }
    std::vector<AnnotationText> out;
    for (size_t i = 0; i < in.size(); ++i)
        if (keep[i]) out.push_back(std::move(in[i]));
    return out;
}

std::string lineNameCaption(const std::string& inputFileName) {
    return "Line Name :" + std::filesystem::path(inputFileName).stem().string();
}

} // namespace tarnix
