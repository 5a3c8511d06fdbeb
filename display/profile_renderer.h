#pragma once
// The profile image: created before a run's first shot, painted one column per
// call straight into the pixel buffer, and annotated when the run ends. The
// display settings are read from the session at the moment each step runs.
#include "core/trace.h"
#include "display/image_canvas.h"

#include <QFont>
#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

namespace tarnix {

class Session;
struct PaletteTable;

// One column's painting: where it goes and how amplitudes become colours.
struct ProfileColumnPaint {
    QRgb* px;           // row 0 of the column
    qsizetype stride;   // pixels from one row to the next
    const int* rowSlot; // slot per row, -1 for amplitude 0
    int rows;
    const Sample* trace;
    int gainMax, gainPos;
    long long half;
    const int16_t* levels; // level of amplitude a at levels[a], or null
    const PaletteTable* palette;
    Sample scale; // samples times this before the amplitude (1: as they are)
};

class ProfileRenderer {
public:
    explicit ProfileRenderer(Session& session);

    // Image set-up: geometry from NVP, Rep and NumTraces, then a new white bitmap of
    // (ImageColumns + 100) x (ImageRows + 100). Throws Error when it cannot be held.
    void createImage();

    // Paints pixel column x from the first n samples of the trace.
    void DRAW_PROFILE(int x, const TraceBuffer& trace, int n);
    // The same from a trace kept as whole numbers of 16 bits or fewer, with
    // the same pixels: through a colour per 16-bit value.
    void drawWholeColumn(int x, const WholeWindow& trace, int n);
    // The same from double-precision samples v[0..n-1], with the pixels of
    // their extended values.
    void drawDoubleColumn(int x, const double* v, int n);

    // Run-end display: the bitmap becomes the picture (moved, not copied), which gets the
    // annotation in `font`, the line-name caption and the outer frame.
    void runEnd(const QFont& font, QColor textColour = Qt::black);

    // The painted bitmap; the run end hands it over to the picture, so that a
    // long line is held once.
    const QImage& bitmap() const {
        flushTile();
        return bitmap_;
    }
    // The shown picture (`Display`) and its canvas, drawn on by picks and drags.
    const QImage& picture() const { return picture_; }
    QImage& picture() { return picture_; }
    ImageCanvas& canvas() { return canvas_; }
    // Replaces the shown picture (image edit operations, loading a saved image).
    void setPicture(const QImage& image);

    // Largest bitmap, in bytes, that createImage accepts.
    static constexpr long long kMaxImageBytes = 4LL << 30;

private:
    void prepareRows(int rows, int n);
    void flushTile() const;
    void prepareLevels(long long half);
    // Geometry, tile and settings of a column into column_; false when it is not painted.
    bool beginColumn(int x, int n);
    void prepareWholeColours();
    void prepareColumnScratch();
    // The colour per amplitude for the current palette into colourOf_; false
    // when the clip level is too large for a table.
    bool prepareColours();
    // Colours of columnAmplitudes_ into the tile's column.
    void paintAmplitudes();

    Session& s_;
    mutable QImage bitmap_; // mutable: the last columns may wait in the tile until it is looked at
    QImage picture_;
    ImageCanvas canvas_;
    std::vector<int> slots_;
    int slotRows_ = -1, slotN_ = -1;
    std::vector<int16_t> levelOf_; // level of amplitude a at a + half
    long long levelHalf_ = -1;
    QRgb pen_ = 0xFF000000u; // the colour a band palette keeps for levels in no band
    // Neighbouring columns are painted into a small tile, two cache lines per row,
    // and go into the bitmap together: a column alone touches one page per row.
    static constexpr int kTileColumns = 32;
    mutable std::vector<QRgb> tile_;
    mutable int tileX_ = 0, tileCount_ = 0, tileRows_ = 0;
    // One column's samples, their doubles, the bits a double drops, amplitudes.
    std::vector<Sample> columnValues_;
    std::vector<double> columnDoubles_;
    std::vector<int64_t> columnLowBits_;
    std::vector<int32_t> columnAmplitudes_;
    // Opaque colour per amplitude (at a + half) of palette colourPalette_, 0
    // where that palette keeps the pen.
    std::vector<QRgb> colourOf_;
    int colourPalette_ = -1;
    ProfileColumnPaint column_{};
    // Opaque colour, or 0 to keep the pen, per 16-bit value v at (v & 0xffff)
    // ^ 0x8000, for the settings in wholeKey_.
    struct WholeColourKey {
        int gainMax, gainPos;
        long long half;
        Sample scale;
        int palette;
        bool operator==(const WholeColourKey&) const = default;
    };
    std::vector<QRgb> wholeColour_;
    WholeColourKey wholeKey_{};
};

// Draws the annotation, the line-name caption (when checked) and the outer frame
// on a picture, as the run end does.
void drawRunEndAnnotation(const Session& s, QImage& picture, ImageCanvas& canvas, const QFont& font,
                          QColor textColour);

// Writes a picture as PNG or TIFF when the name ends in ".png" or ".tif"/".tiff"
// (any case), else as BMP.
// Throws IoError naming the file when it cannot be written.
void saveProfileImage(const QImage& image, const std::string& path);

} // namespace tarnix
