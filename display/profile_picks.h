#pragma once
// Where profile picks go besides the picture: the digitizing notebook and the map.
// The main window holds one of these; the notebook and the map windows provide
// their own when they exist. The defaults here say "no notebook, no map".
#include <string>

namespace tarnix {

class Session;
struct BottomPick;

class ProfilePickTarget {
public:
    virtual ~ProfilePickTarget() = default;

    // Notebook side.
    virtual bool notebookShown() const { return false; }
    // A mouse pick at picture pixel (x, y): the notebook reads the cursor point
    // texts of the session. The pick's cross is drawn after it.
    virtual void notebookPick(Session& /*s*/, int /*x*/, int /*y*/) {}
    // A bottom-tracking pick worth storing, at picture column `column`: true when
    // the notebook took it (its tick is drawn then). The picks of one drag undo
    // together.
    virtual bool notebookDragPick(Session& /*s*/, const BottomPick& /*pick*/, int /*column*/) {
        return false;
    }
    virtual void notebookDragStarted() {}
    virtual void notebookDragEnded() {}
    // A right click at picture pixel (x, y): true when the notebook used it (it
    // deletes the pick nearest the point).
    virtual bool notebookDeleteNearest(Session& /*s*/, int /*x*/, int /*y*/) { return false; }
    // Bottom-tracking picks: the notebook's lower shot limit, its type (".MUT"
    // takes "shot time" lines, ".DGT" navigation text lines) and the line to add.
    virtual int notebookLowerShotLimit() const { return 0; }
    virtual bool notebookIsMut() const { return false; }
    virtual void notebookAddLine(const std::string& /*line*/) {}
    // A click on the Bitmaps page: as a profile click, from the bitmap's cursor texts.
    virtual void notebookBitmapPick(Session& /*s*/) {}
    // A click on the map viewer with the read-out's longitude and latitude texts:
    // the 1-based number of the point line added, 0 when the notebook took none.
    virtual int notebookMapPick(const std::string& /*lonText*/, const std::string& /*latText*/) {
        return 0;
    }

    // Map side of interactive mapping: plot the shot's position when the map
    // viewer's plotting option is on.
    virtual bool mapPlotting() const { return false; }
    virtual void mapPlot(double /*x*/, double /*y*/, int /*shot*/) {}
    // A shot the run has just painted, while Interactive Mapping is ticked: marked
    // by the line spacings, so the track grows on the map as the line runs.
    virtual void mapPlotTrack(double /*x*/, double /*y*/, int /*shot*/) {}
};

} // namespace tarnix
