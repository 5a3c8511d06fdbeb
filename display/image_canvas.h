#pragma once
// Pen-and-position drawing on an RGB32 image: lines stop one pixel short of their
// end point and a rectangle's outline covers x1..x2-1 and y1..y2-1, so adjoining
// shapes meet without overlap. Lines take the pen's width (a square of that many
// pixels centred on each point) and style (a dash pattern in units of the width,
// running on across the segments of a polyline). Text is placed by its top-left
// corner.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QString>

namespace tarnix {

class ImageCanvas {
public:
    enum PenMode { Copy, Xor, Not, NotXor };
    enum PenStyle { Solid, Dash, Dot, DashDot, DashDotDot };
    static constexpr int kMaxPenWidth = 5;

    ImageCanvas() = default;
    explicit ImageCanvas(QImage* image) : image_(image) {}
    void setImage(QImage* image) { image_ = image; }
    QImage* image() const { return image_; }

    void setPenColour(QColor c) { pen_ = c.rgb() | 0xFF000000u; }
    QColor penColour() const { return QColor::fromRgb(pen_); }
    void setPenMode(PenMode m) { mode_ = m; }
    PenMode penMode() const { return mode_; }
    // 1..kMaxPenWidth; other values are held at the nearer end.
    void setPenWidth(int w) { width_ = w < 1 ? 1 : w > kMaxPenWidth ? kMaxPenWidth : w; }
    int penWidth() const { return width_; }
    void setPenStyle(PenStyle s) { style_ = s; }
    PenStyle penStyle() const { return style_; }
    void setFont(const QFont& f) { font_ = f; }
    const QFont& font() const { return font_; }
    void setFontColour(QColor c) { fontColour_ = c; }

    QPoint penPos() const { return pos_; }
    void moveTo(int x, int y) {
        pos_ = QPoint(x, y);
        dashPhase_ = 0;
    }
    void lineTo(int x, int y);
    void line(int x1, int y1, int x2, int y2) {
        moveTo(x1, y1);
        lineTo(x2, y2);
    }
    void rectangle(int x1, int y1, int x2, int y2);
    void ellipse(int x1, int y1, int x2, int y2);
    void roundRect(int x1, int y1, int x2, int y2, int cornerW, int cornerH);
    void plot(int x, int y);
    // One point of the pen: a square of the pen's width centred on (x, y).
    void penDot(int x, int y);
    void textOut(int x, int y, const QString& text);
    // Red component of a pixel; 255 (no amplitude) outside the image.
    int red(int x, int y) const;

private:
    QImage* image_ = nullptr;
    QRgb pen_ = 0xFF000000u;
    PenMode mode_ = Copy;
    int width_ = 1;
    PenStyle style_ = Solid;
    int dashPhase_ = 0; // pixels of the pattern used since the last moveTo
    bool dashOn(int phase) const;
    QPoint pos_{0, 0};
    QFont font_;
    QColor fontColour_ = Qt::black;
};

// Kinds of DrawShape.
enum ShapeKind { ShapeLine = 0, ShapeRectangle = 1, ShapeEllipse = 2, ShapeRoundRect = 3 };

// Sets the canvas pen mode, then draws a line, rectangle, ellipse or rounded
// rectangle (corner ellipse half the width by half the height) from P1 to P2.
void DrawShape(ImageCanvas& canvas, QPoint p1, QPoint p2, int kind, ImageCanvas::PenMode mode);

// Position mark: a cross of four 3-pixel arms centred on (x, y), with the decimal
// `number` at (x + 3, y + 3) when withLabel is set.
void TWOD_PLOT(ImageCanvas& canvas, int x, int y, int number, bool withLabel);

} // namespace tarnix
