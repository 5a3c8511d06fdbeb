#include "display/profile_renderer.h"

#include "core/error.h"
#include "core/numtext.h"
#include "core/session.h"
#include "display/palette.h"
#include "display/profile_layout.h"

#include <QPainter>

#include <cstring>

namespace tarnix {

namespace {
// Point sizes on the picture come out as on a 96 dpi screen.
constexpr int kDotsPerMeter = 3780;
constexpr long long kLevelTableLimit = 1 << 16;
} // namespace

ProfileRenderer::ProfileRenderer(Session& session) : s_(session), canvas_(&picture_) {}

void ProfileRenderer::createImage() {
    setupProfileGeometry(s_);
    const int w = profileImageWidth(s_), h = profileImageHeight(s_);
    if (static_cast<long long>(w) * h * 4 > kMaxImageBytes)
        throw Error("The profile image of " + std::to_string(w) + " x " + std::to_string(h) +
                    " pixels is too large; lower Vsize or Hsize, or select fewer shots");
    bitmap_ = QImage();
    tileCount_ = 0;
    if (w > 0 && h > 0) {
        bitmap_ = QImage(w, h, QImage::Format_RGB32);
        if (bitmap_.isNull())
            throw Error("Not enough memory for the profile image of " + std::to_string(w) + " x " +
                        std::to_string(h) + " pixels");
        bitmap_.setDotsPerMeterX(kDotsPerMeter);
        bitmap_.setDotsPerMeterY(kDotsPerMeter);
        bitmap_.fill(0xFFFFFFFFu);
    }
}

void ProfileRenderer::prepareRows(int rows, int n) {
    if (rows == slotRows_ && n == slotN_) return;
    slots_ = rowSlots(rows, n);
    slotRows_ = rows;
    slotN_ = n;
}

void ProfileRenderer::prepareLevels(long long half) {
    if (half == levelHalf_) return;
    levelHalf_ = half;
    levelOf_.clear();
    if (half <= 0 || half > kLevelTableLimit) return;
    levelOf_.resize(static_cast<size_t>(2 * half + 1));
    for (long long a = -half; a <= half; ++a)
        levelOf_[static_cast<size_t>(a + half)] = static_cast<int16_t>(amplitudeLevel(a, half));
}

namespace {

struct ColumnPaint {
    QRgb* px;         // row 0 of the column
    qsizetype stride; // pixels from one row to the next
    const int* rowSlot; // slot per row, -1 for amplitude 0
    int rows;
    const Sample* trace;
    int gainMax, gainPos;
    long long half;
    const int16_t* levels; // level of amplitude a at levels[a], or null
    const PaletteTable* palette;
};

// The per-pixel loop. The SSE3 clone truncates extended values with fisttp
// instead of switching the x87 rounding mode for every pixel; both compute the
// same numbers.
__attribute__((target_clones("sse3", "default"))) QRgb paintPixels(const ColumnPaint& c, QRgb pen) {
    QRgb* px = c.px;
    for (int r = 0; r <= c.rows; ++r, px += c.stride) {
        const int slot = c.rowSlot[r];
        int level = 0;
        if (slot >= 0) {
            const long long a = displayAmplitude(c.trace[slot], c.gainMax, c.gainPos, c.half);
            level = c.levels ? c.levels[a] : amplitudeLevel(a, c.half);
        }
        if (!c.palette->keeps[level + 255]) pen = 0xFF000000u | c.palette->rgb[level + 255];
        *px = pen;
    }
    return pen;
}

} // namespace

void ProfileRenderer::flushTile() const {
    if (tileCount_ == 0) return;
    const int count = tileCount_;
    tileCount_ = 0;
    if (bitmap_.isNull() || tileX_ + count > bitmap_.width() ||
        kProfileMargin + tileRows_ > bitmap_.height())
        return;
    for (int r = 0; r < tileRows_; ++r)
        std::memcpy(reinterpret_cast<QRgb*>(bitmap_.scanLine(kProfileMargin + r)) + tileX_,
                    tile_.data() + static_cast<size_t>(r) * kTileColumns, count * sizeof(QRgb));
}

void ProfileRenderer::DRAW_PROFILE(int x, const TraceBuffer& trace, int n) {
    const int rows = s_.ImageRows;
    if (bitmap_.isNull() || rows <= 0 || x < 0 || x >= bitmap_.width()) return;
    if (kProfileMargin + rows >= bitmap_.height()) return; // geometry changed since set-up
    if (tileCount_ > 0 &&
        (tileCount_ == kTileColumns || x != tileX_ + tileCount_ || rows + 1 != tileRows_))
        flushTile();
    if (tileCount_ == 0) {
        tileX_ = x;
        tileRows_ = rows + 1;
        tile_.resize(static_cast<size_t>(tileRows_) * kTileColumns);
    }
    prepareRows(rows, n);
    const long long half = s_.FullScale / 2;
    prepareLevels(half);
    ColumnPaint c{tile_.data() + tileCount_,
                  kTileColumns,
                  slots_.data(),
                  rows,
                  trace.data(),
                  s_.display.Gain.max(),
                  s_.display.Gain(),
                  half,
                  levelOf_.empty() ? nullptr : levelOf_.data() + half,
                  &paletteTable(s_.display.PaletteBar())};
    pen_ = paintPixels(c, pen_);
    ++tileCount_;
}

void ProfileRenderer::setPicture(const QImage& image) {
    picture_ = image.format() == QImage::Format_RGB32 ? image
                                                      : image.convertToFormat(QImage::Format_RGB32);
    canvas_.setImage(&picture_);
}

void ProfileRenderer::runEnd(const QFont& font, QColor textColour) {
    // Moved, not shared: a shared image would be copied by the first painter.
    flushTile();
    picture_ = std::move(bitmap_);
    bitmap_ = QImage();
    canvas_.setImage(&picture_);
    drawRunEndAnnotation(s_, picture_, canvas_, font, textColour);
}

void drawRunEndAnnotation(const Session& s, QImage& picture, ImageCanvas& canvas, const QFont& font,
                          QColor textColour) {
    if (picture.isNull()) return;
    canvas.setImage(&picture);
    canvas.setPenColour(Qt::black);
    canvas.setPenMode(ImageCanvas::Copy);
    canvas.setFont(font);
    canvas.setFontColour(textColour);

    const AnnotationLayout layout = annotationLayout(s);
    {
        // One painter for all labels: a long line can carry thousands.
        QPainter p(&picture);
        p.setFont(font);
        p.setPen(textColour);
        const int ascent = p.fontMetrics().ascent();
        for (const AnnotationText& t : layout.texts)
            p.drawText(QPoint(t.x, t.y + ascent), QString::fromStdString(t.text));
    }
    for (const AnnotationLine& l : layout.lines) canvas.line(l.x1, l.y1, l.x2, l.y2);
    if (layout.hasDataArea)
        canvas.rectangle(layout.dataArea.x1, layout.dataArea.y1, layout.dataArea.x2,
                         layout.dataArea.y2);

    const int H = picture.height();
    if (s.display.LineNameLabelCheck) {
        QFont small = font;
        small.setPointSize(8);
        canvas.setFont(small);
        canvas.textOut(50, H - 38, QStringLiteral("TARNIX v.1.1"));
        canvas.textOut(50, H - 22, QString::fromStdString(lineNameCaption(s.InputFileName)));
        canvas.setFont(font);
    }
    canvas.setPenColour(Qt::black);
    DrawShape(canvas, QPoint(0, 0), QPoint(picture.width(), H), ShapeRectangle, ImageCanvas::Copy);
}

void saveProfileImage(const QImage& image, const std::string& path) {
    const std::string ext = upper(path.size() >= 4 ? path.substr(path.size() - 4) : path);
    const char* format = ext == ".PNG" ? "PNG" : "BMP";
    if (image.isNull() || !image.save(QString::fromStdString(path), format))
        throw IoError("Cannot write the profile image to " + path);
}

} // namespace tarnix
