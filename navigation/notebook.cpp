#include "navigation/notebook.h"

#include "core/error.h"
#include "core/numtext.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

namespace tarnix {

namespace {

constexpr int kMargin = 50;
constexpr long double kFarPixel = 1e9;

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f'; };
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && blank(line[i])) ++i;
        size_t j = i;
        while (j < line.size() && !blank(line[j])) ++j;
        if (j > i) out.push_back(line.substr(i, j - i));
        i = j;
    }
    return out;
}

// Shot and time of a pick line: the first word and, as the pick-file reader
// takes them, the last.
bool pickOf(std::string_view line, long long& shot, long double& time) {
    const auto w = words(line);
    return w.size() >= 2 && tryParseInt(w.front(), shot) && tryParseFloat(w.back(), time);
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        out.push_back(l);
    }
    return out;
}

} // namespace

NotebookKind notebookKindOf(const std::string& fileName) {
    if (fileName.size() < 4) return NotebookKind::Plain;
    const std::string end = upper(fileName.substr(fileName.size() - 4));
    if (end == ".MUT") return NotebookKind::Mute;
    if (end == ".DGT") return NotebookKind::Digitizing;
    return NotebookKind::Plain;
}

bool notebookAccepts(NotebookKind kind, PickSource source) {
    if (source == PickSource::MapClick) return kind == NotebookKind::Plain;
    return kind != NotebookKind::Plain;
}

std::string refusedPickNote(NotebookKind kind, PickSource source) {
    if (source == PickSource::MapClick)
        return kind == NotebookKind::Mute ? "Map points do not go into a mute file"
                                          : "Map points do not go into a digitizing file";
    return "Profile picks go into a .MUT or .DGT notebook";
}

std::string mutePickLine(int shot, double timeMs) {
    return std::to_string(shot) + " " + fixedText(timeMs, 6, 3);
}

std::string digitizingPickLine(const std::string& navigationText, double timeMs) {
    return navigationText + " " + fixedText(timeMs, 6, 3);
}

std::string mapPickLine(int number, double longitude, double latitude) {
    return std::to_string(number) + " " + fixedText(longitude, 8) + " " + fixedText(latitude, 8);
}

void NotebookState::start(const std::string& fileName) {
    name = fileName;
    kind = notebookKindOf(fileName);
    lastLine = 0;
    lastPickedShot = 0;
    lowerShotLimit = 0;
}

std::string notebookFileText(const std::string& text, NotebookKind kind) {
    if (kind == NotebookKind::Plain) return text;
    std::string head;
    std::map<long long, std::string> picks;
    for (const std::string& l : lines(text)) {
        if (words(l).empty()) continue;
        long long shot = 0;
        long double t = 0;
        const auto w = words(l);
        if (tryParseInt(w.front(), shot) && pickOf(l, shot, t))
            picks[shot] = l;
        else
            head += l + "\n";
    }
    std::string out = head;
    for (const auto& [shot, l] : picks) out += l + "\n";
    return out;
}

std::string readNotebookFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw IoError("Cannot open " + path);
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw IoError("Cannot read " + path);
    return text.str();
}

void writeNotebookFile(const std::string& path, const std::string& text, NotebookKind kind) {
    const std::string out = notebookFileText(text, kind);
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f) throw IoError("Cannot create " + path);
    f.write(out.data(), static_cast<std::streamsize>(out.size()));
    f.close();
    if (!f) throw IoError("Cannot write " + path);
}

bool pickPixel(const std::string& line, NotebookKind kind, const ProfileGeometry& g,
               PixelPoint& out) {
    if (kind == NotebookKind::Plain || g.imageRows <= 0 || g.endSweep == g.startSweep) return false;
    long long shot = 0;
    long double t = 0;
    if (!pickOf(line, shot, t)) return false;
    const long double perRow = (static_cast<long double>(g.endSweep) - g.startSweep) / g.imageRows;
    long double y = (t - g.startSweep) / perRow + kMargin;
    if (!std::isfinite(static_cast<double>(y))) return false;
    // A pick far off the picture still points the line its way, in int pixels.
    y = std::clamp(y, -kFarPixel, kFarPixel);
    const long double xFar =
        static_cast<long double>(g.rep) * (static_cast<long double>(shot) - g.startShot) + kMargin;
    long long x = static_cast<long long>(std::clamp(xFar, -kFarPixel, kFarPixel));
    if (x > g.pictureWidth - kMargin) x = g.pictureWidth - kMargin - 1;
    out = {static_cast<int>(x), static_cast<int>(roundHalfEven(y))};
    return true;
}

int nearestPickLine(const std::string& text, NotebookKind kind, const ProfileGeometry& g, int x,
                    int y, int reach) {
    int best = -1;
    long long bestD = static_cast<long long>(reach) * reach;
    int n = 0;
    for (const std::string& l : lines(text)) {
        PixelPoint p;
        if (pickPixel(l, kind, g, p)) {
            const long long dx = p.x - x, dy = p.y - y, d = dx * dx + dy * dy;
            if (d <= bestD && (best < 0 || d < bestD)) {
                best = n;
                bestD = d;
            }
        }
        ++n;
    }
    return best;
}

std::vector<PixelPoint> notebookPolyline(const std::string& text, NotebookKind kind,
                                         const ProfileGeometry& g) {
    std::vector<PixelPoint> out;
    for (const std::string& l : lines(text)) {
        if (l.empty()) break;
        PixelPoint p;
        if (pickPixel(l, kind, g, p)) out.push_back(p);
    }
    return out;
}

void PickHistory::record(const PickEdit& e) {
    undone_.clear();
    if (!open_ || !stepStarted_) done_.emplace_back();
    stepStarted_ = open_;
    done_.back().push_back(e);
}

std::vector<PickEdit> PickHistory::undo() {
    stepStarted_ = false;
    if (done_.empty()) return {};
    std::vector<PickEdit> step = std::move(done_.back());
    done_.pop_back();
    undone_.push_back(step);
    std::reverse(step.begin(), step.end());
    return step;
}

std::vector<PickEdit> PickHistory::redo() {
    stepStarted_ = false;
    if (undone_.empty()) return {};
    std::vector<PickEdit> step = std::move(undone_.back());
    undone_.pop_back();
    done_.push_back(step);
    return step;
}

void PickHistory::clear() {
    done_.clear();
    undone_.clear();
    stepStarted_ = false;
}

} // namespace tarnix
