#include "display/profile_cursor.h"

#include "core/numtext.h"
#include "core/session.h"
#include "display/profile_layout.h"

#include <cstdio>

namespace tarnix {

DataArea profileDataArea(int pictureWidth, int pictureHeight) {
    return {kProfileMargin, pictureHeight - kProfileMargin, kProfileMargin,
            pictureWidth - kProfileMargin};
}

std::string profilePanelText(int shot, double time, double depth, int sample, int amp) {
    return "Shot :" + std::to_string(shot) + "   " + "TWT  :" + fixedText(time, 6) + " msec" +
           "   " + "Depth:" + fixedText(depth, 6) + " m  " + "Sam:" + std::to_string(sample) +
           "   " + "Amp:" + std::to_string(amp);
}

namespace {

// Shot under data-area column dx of an area `span` columns wide.
int shotAt(const Session& s, long long dx, long long span) {
    long long shots = static_cast<long long>(s.shots.EndShot()) - s.shots.StartShot();
    return static_cast<int>(roundHalfEven(static_cast<long double>(shots) * dx / span) +
                            s.shots.StartShot());
}

std::string navTextOf(const Session& s, int shot) {
    const int i = s.shotEntry(shot);
    return i < 0 ? std::string() : s.navText[static_cast<size_t>(i)];
}

} // namespace

bool calcPointAttributes(Session& s, int red, const DataArea& area, int dy, int dx,
                         PointTexts& out) {
    if (!s.goEnabled || area.bottom == area.top || area.right == area.left) return false;
    CursorPoint& c = s.cursor;
    const long double delay = truncate(s.header.Delay);
    c.CursorAmp = 255 - red;
    long double time =
        static_cast<long double>(s.EndSweep() - s.StartSweep()) / (area.bottom - area.top) * dy +
        s.StartSweep() + delay;
    c.CursorTime = static_cast<double>(time);
    c.CursorShot = shotAt(s, dx, area.right - area.left);
    c.CursorDepth = static_cast<double>(s.display.SoundSpeedEdit() *
                                        static_cast<long double>(c.CursorTime) / 2000);
    c.CursorSample = static_cast<int32_t>(truncate(s.SampleRate * c.CursorTime));

    c.CursorShotText = std::to_string(c.CursorShot);
    c.CursorSampleText = std::to_string(c.CursorSample);
    c.CursorTimeText = fixedText(c.CursorTime, 6);
    c.CursorTimeNoDelayText = fixedText(time - delay, 6);
    c.CursorDepthText = fixedText(c.CursorDepth, 6);

    char buf[64];
    std::snprintf(buf, sizeof buf, "Image: (%d, %d)", area.left + dx, area.top + dy);
    out.image = buf;
    out.profile =
        profilePanelText(c.CursorShot, c.CursorTime, c.CursorDepth, c.CursorSample, c.CursorAmp);
    s.Edit3 = navTextOf(s, c.CursorShot);
    return true;
}

bool inProfileDataArea(const Session& s, int X, int Y) {
    int x = X - kProfileMargin, y = Y - kProfileMargin;
    return x >= 0 && x < s.ImageColumns && y >= 0 && y <= s.ImageRows;
}

std::string thicknessText(const Session& s, int Y) {
    if (s.ImageRows <= 0) return {};
    long double t = static_cast<long double>(s.EndSweep() - s.StartSweep()) / s.ImageRows *
                        (Y - kProfileMargin) +
                    s.StartSweep() + s.header.Delay;
    long double depth = s.display.SoundSpeedEdit() * t / 2000;
    long double thickness = depth - s.cursor.DragStartDepth;
    return "Thick. :" + fixedText(thickness, 3) + " m";
}

int bottomSplit(const std::vector<int>& v, int W) {
    if (W < 2 || static_cast<int>(v.size()) <= W) return 0;
    // prefix[j] = v[1] + ... + v[j]; the sums are exact integers, so the means are
    // the same as summing each window afresh.
    std::vector<long long> prefix(static_cast<size_t>(W) + 1, 0);
    for (int j = 1; j <= W; ++j) prefix[j] = prefix[j - 1] + v[j];
    int best = 0;
    double bestDiff = 0;
    for (int k = 1; k <= W - 1; ++k) {
        double upper = static_cast<double>(prefix[k]) / k;
        double lower = static_cast<double>(prefix[W - 1] - prefix[k - 1]) / (W - k);
        double diff = upper - lower;
        if (diff > bestDiff) {
            bestDiff = diff;
            best = k;
        }
    }
    return best;
}

BottomPick bottomPick(const Session& s, int x, int y, int k, int notebookLowerShotLimit) {
    BottomPick p;
    int lag = static_cast<int>(truncate(s.SampleRate * 0.08L));
    p.row = y + k + kProfileMargin - lag;
    p.shot = s.ImageColumns != 0 ? shotAt(s, x, s.ImageColumns) : s.shots.StartShot();
    if (s.ImageRows > 0) {
        long double t = static_cast<long double>(s.EndSweep() - s.StartSweep()) / s.ImageRows *
                            (p.row - kProfileMargin) +
                        s.StartSweep();
        p.time = static_cast<double>(t);
    }
    p.timeText = fixedText(p.time, 6);
    p.store = s.ImageRows > 0 && p.time > 0 && p.shot > s.cursor.LastPickedShot &&
              p.shot > notebookLowerShotLimit;
    return p;
}

std::string bottomPickLine(const Session& s, const BottomPick& pick, bool mutNotebook) {
    if (mutNotebook) return std::to_string(pick.shot) + " " + pick.timeText;
    return s.Edit3 + " " + pick.timeText;
}

std::string interactiveMappingText(const Session& s, int shot) {
    double x = 0, y = 0;
    if (const int i = s.shotEntry(shot); i >= 0) {
        x = s.shotPosition[static_cast<size_t>(i)][0];
        y = s.shotPosition[static_cast<size_t>(i)][1];
    }
    return fixedText(x, 8) + " " + fixedText(y, 8) + " I.M.";
}

double nextZoomFactor(double factor, int step) {
    if (step == 0) return 1.0;
    double next = step < 0 ? factor - 0.1 : factor + 0.1;
    return next < 0.1 - 1e-9 ? factor : next;
}

std::string zoomLabel(double factor) {
    return fixedText(factor, 2);
}

int zoomedSize(int imageCount, double factor) {
    long long size = truncate((static_cast<long double>(imageCount) + 100) * factor);
    return size < 0 ? 0 : static_cast<int>(size);
}

} // namespace tarnix
