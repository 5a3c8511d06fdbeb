#pragma once
// The digitizing notebook without its window: which picks a notebook takes, the
// line each pick makes, the order its files are written in and the polyline its
// picks draw back onto the profile. Every kind stores times without the recording
// delay, the time base the pick-file reader and the profile rows share, so a pick
// redraws where it was made.
#include <string>
#include <vector>

namespace tarnix {

// ".MUT" takes "shot time" lines, ".DGT" navigation text and time; anything else
// is plain (the map's point files among them).
enum class NotebookKind { Plain, Mute, Digitizing };
NotebookKind notebookKindOf(const std::string& fileName);

enum class PickSource { ProfileClick, ProfileDrag, BitmapClick, MapClick };

// Whether a notebook of this kind takes the pick. Profile and bitmap picks belong
// to mute and digitizing notebooks, map picks to plain ones: a map point in a
// mute file would become a mute, a shot's text in a point file a map label.
bool notebookAccepts(NotebookKind kind, PickSource source);
// The status-bar note for a refused pick.
std::string refusedPickNote(NotebookKind kind, PickSource source);

std::string mutePickLine(int shot, double timeMs);
std::string digitizingPickLine(const std::string& navigationText, double timeMs);
std::string mapPickLine(int number, double longitude, double latitude);

// The pick bookkeeping of one notebook session.
struct NotebookState {
    std::string name = "Untitled";
    NotebookKind kind = NotebookKind::Plain;
    int lastLine = 0;       // number of the line the latest pick added; 0 after Delete
    int lastPickedShot = 0; // drag picks only move towards higher shots
    int lowerShotLimit = 0;

    // New, Open and Create: a fresh session for `fileName`, so a drag over shots
    // an earlier notebook took stores again.
    void start(const std::string& fileName);
    int nextPointNumber() const { return lastLine + 1; }
};

// The text a mute or digitizing notebook is written as: pick lines in ascending
// shot order, the last pick of a shot winning, blank lines dropped; lines that
// start with no shot number keep their order ahead of the picks. Plain text is
// returned as it is.
std::string notebookFileText(const std::string& text, NotebookKind kind);

// The text of a notebook file; throws IoError naming a file that cannot be read.
std::string readNotebookFile(const std::string& path);
// Writes `text` as a notebook of `kind` is written (notebookFileText); throws
// IoError when the file cannot be created or written whole.
void writeNotebookFile(const std::string& path, const std::string& text, NotebookKind kind);

// What a profile picture shows, for drawing picks back.
struct ProfileGeometry {
    int startShot = 0;
    int rep = 1; // pixels per trace
    double startSweep = 0, endSweep = 0;
    int imageRows = 0;
    int pictureWidth = 0;
};

struct PixelPoint {
    int x = 0, y = 0;
    bool operator==(const PixelPoint&) const = default;
};

// The pixel of one pick line on the profile (columns past the right edge held at
// it); false for a line that holds no shot and time or a profile not painted.
bool pickPixel(const std::string& line, NotebookKind kind, const ProfileGeometry& g,
               PixelPoint& out);

// The number (from 0) of the text line whose pick lies nearest the pixel (x, y),
// at most `reach` pixels away; -1 when there is none.
int nearestPickLine(const std::string& text, NotebookKind kind, const ProfileGeometry& g, int x,
                    int y, int reach);

// The polyline of the picks up to the first empty line, starting at the first
// pick. Rows are rounded, columns past the right edge are held at it; lines that
// hold no shot and time are skipped. Empty for plain notebooks and for a profile
// that is not painted (no rows or no time span).
std::vector<PixelPoint> notebookPolyline(const std::string& text, NotebookKind kind,
                                         const ProfileGeometry& g);

// Undo and redo of picks. An edit adds or deletes one text line; the edits of a
// drag are one step. `mark` names the window's record of what the pick drew.
struct PickEdit {
    bool added = true;
    int line = 0; // number of the text line, from 0
    std::string text;
    int mark = -1;
    int lastLineBefore = 0, lastLineAfter = 0;
    int lastPickedShotBefore = 0, lastPickedShotAfter = 0;
};

class PickHistory {
public:
    // Edits recorded between these two undo together.
    void beginStep() { open_ = true, stepStarted_ = false; }
    void endStep() { open_ = false, stepStarted_ = false; }
    // A new edit; what could be redone is dropped.
    void record(const PickEdit& e);
    bool canUndo() const { return !done_.empty(); }
    bool canRedo() const { return !undone_.empty(); }
    // The last step's edits, latest first, moved to the redo list.
    std::vector<PickEdit> undo();
    // The last undone step's edits, earliest first, moved back.
    std::vector<PickEdit> redo();
    void clear();

private:
    std::vector<std::vector<PickEdit>> done_, undone_;
    bool open_ = false, stepStarted_ = false;
};

} // namespace tarnix
