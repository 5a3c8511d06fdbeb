#pragma once
// The map viewer without its window: the map bitmap, its georeferencing through
// the session's Map Limits texts, and the plotting commands. The viewer window
// and tarnix-run both drive this.
#include "display/map_drawing.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tarnix {

class Session;

class MapDocument {
public:
    explicit MapDocument(Session& s) : s_(s) {}

    // Open1Click after its dialog: loads the picture (IoError when it cannot),
    // enables line plotting, then takes the boundaries from `bndPath` when given,
    // else from the side file (".bnd", then ".BND"), else sets the image borders
    // to the bitmap (1..width, 1..height). Returns status panel 1's text. A
    // boundary file that does not load throws IoError with the picture open and
    // no field changed.
    std::string open(const std::string& path, const std::string& bndPath = {});
    // New1Click: image borders 0..width and 0..height.
    void New1Click();
    // Save1Click after its dialog: the bitmap at its own size (.png or .bmp).
    void save(const std::string& path) const;

    QImage& image() { return image_; }
    const QImage& image() const { return image_; }
    // "Line (*.NAV;*.REF)" is enabled from a successful open until the window closes.
    bool linePlotting() const { return opened_; }
    void setLinePlotting(bool on) { opened_ = on; }

    QColor penColour = Qt::black;
    QFont font;

    // Plot > Line over several files, in order: `pump` runs before every fifth
    // file and the plotting stops when StopRequested is set (cleared at the end).
    // A file that does not read stops it with IoError; what was drawn stays.
    // Returns the number of files plotted.
    int plotLines(const std::vector<std::pair<LineFileKind, std::string>>& files,
                  const std::function<void()>& pump = {});
    // The kinds of a Plot > Line selection: every file is of the first name's
    // kind (none of it plotted when that is neither ".NAV"/".nav" nor ".REF"/".ref").
    static std::vector<std::pair<LineFileKind, std::string>>
    lineSelection(const std::vector<std::string>& names);
    // Plot > XY Point: labelled crosses in cross mode. Returns the points drawn.
    int plotPointFile(const std::string& path);
    // One shot point: labelled (Interactive Mapping's click) or by the spacings.
    bool plotShot(int shot, double lon, double lat, bool labelled);
    // A click on the map at bitmap pixel (x, y) with the notebook shown: hands
    // the read-out's longitude and latitude texts to `addLine`, which adds the
    // notebook line and returns its 1-based number (0: none added), and draws a
    // cross labelled with that number. Nothing is added off the bitmap or while
    // the read-out has no position (a refused box). Returns the number.
    int pick(int x, int y,
             const std::function<int(const std::string& lon, const std::string& lat)>& addLine);
    // Sample1Click after its dialog. Throws ConversionError with no map loaded.
    long long sampleXyz(const std::string& path) const;

private:
    MapPlotter plotter(const MapBox& box);

    Session& s_;
    QImage image_;
    bool opened_ = false;
};

} // namespace tarnix
