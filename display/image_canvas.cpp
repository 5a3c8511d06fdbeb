#include "display/image_canvas.h"

#include <QPainter>
#include <cstdlib>
#include <unordered_set>

namespace tarnix {

void ImageCanvas::plot(int x, int y) {
    if (!image_ || x < 0 || y < 0 || x >= image_->width() || y >= image_->height()) return;
    auto* p = reinterpret_cast<QRgb*>(image_->scanLine(y)) + x;
    switch (mode_) {
    case Copy:
        *p = pen_;
        break;
    case Xor:
        *p = 0xFF000000u | ((*p ^ pen_) & 0xFFFFFFu);
        break;
    case Not:
        *p = 0xFF000000u | (~*p & 0xFFFFFFu);
        break;
    case NotXor:
        *p = 0xFF000000u | (~(*p ^ pen_) & 0xFFFFFFu);
        break;
    }
}

bool ImageCanvas::dashOn(int phase) const {
    // On and off runs in units of the pen width.
    static constexpr int dash[] = {6, 3}, dot[] = {1, 2}, dashDot[] = {6, 2, 1, 2},
                         dashDotDot[] = {6, 2, 1, 2, 1, 2};
    const int* runs = nullptr;
    int count = 0;
    switch (style_) {
    case Solid:
        return true;
    case Dash:
        runs = dash, count = 2;
        break;
    case Dot:
        runs = dot, count = 2;
        break;
    case DashDot:
        runs = dashDot, count = 4;
        break;
    case DashDotDot:
        runs = dashDotDot, count = 6;
        break;
    }
    int period = 0;
    for (int i = 0; i < count; ++i) period += runs[i] * width_;
    int at = phase % period;
    for (int i = 0; i < count; ++i) {
        if (at < runs[i] * width_) return i % 2 == 0;
        at -= runs[i] * width_;
    }
    return false;
}

void ImageCanvas::lineTo(int x, int y) {
    // Bresenham from the pen position; the end pixel is left for the next segment.
    // A wide pen stamps a square at every point. Stamps overlap, so the modes that
    // combine with the picture touch each covered pixel once.
    const bool combine = mode_ != Copy && width_ > 1;
    std::unordered_set<long long> covered;
    const int lo = -(width_ - 1) / 2, hi = width_ / 2;
    auto stamp = [&](int px, int py) {
        if (!combine) return penDot(px, py);
        for (int dy = lo; dy <= hi; ++dy)
            for (int dx = lo; dx <= hi; ++dx) {
                if (combine && !covered
                                    .insert((static_cast<long long>(py + dy) << 32) ^
                                            static_cast<unsigned>(px + dx))
                                    .second)
                    continue;
                plot(px + dx, py + dy);
            }
    };
    int x0 = pos_.x(), y0 = pos_.y();
    int dx = std::abs(x - x0), dy = -std::abs(y - y0);
    int sx = x0 < x ? 1 : -1, sy = y0 < y ? 1 : -1;
    int err = dx + dy;
    while (!(x0 == x && y0 == y)) {
        if (dashOn(dashPhase_++)) stamp(x0, y0);
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
    pos_ = QPoint(x, y);
}

void ImageCanvas::penDot(int x, int y) {
    const int lo = -(width_ - 1) / 2, hi = width_ / 2;
    for (int dy = lo; dy <= hi; ++dy)
        for (int dx = lo; dx <= hi; ++dx) plot(x + dx, y + dy);
}

void ImageCanvas::rectangle(int x1, int y1, int x2, int y2) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (x2 - x1 < 1 || y2 - y1 < 1) return;
    QPoint keep = pos_;
    if (x2 - x1 == 1 || y2 - y1 == 1) {
        for (int y = y1; y < y2; ++y)
            for (int x = x1; x < x2; ++x) plot(x, y);
    } else {
        line(x1, y1, x2 - 1, y1);
        line(x2 - 1, y1, x2 - 1, y2 - 1);
        line(x2 - 1, y2 - 1, x1, y2 - 1);
        line(x1, y2 - 1, x1, y1);
    }
    pos_ = keep;
}

namespace {

QPainter::CompositionMode compositionOf(ImageCanvas::PenMode m) {
    switch (m) {
    case ImageCanvas::Xor:
        return QPainter::RasterOp_SourceXorDestination;
    case ImageCanvas::Not:
        return QPainter::RasterOp_NotDestination;
    case ImageCanvas::NotXor:
        return QPainter::RasterOp_NotSourceXorDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

} // namespace

void ImageCanvas::ellipse(int x1, int y1, int x2, int y2) {
    if (!image_ || image_->isNull()) return;
    QPainter p(image_);
    p.setCompositionMode(compositionOf(mode_));
    p.setPen(QPen(QColor::fromRgb(pen_), width_));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                        QPoint(std::max(x1, x2) - 1, std::max(y1, y2) - 1)));
}

void ImageCanvas::roundRect(int x1, int y1, int x2, int y2, int cornerW, int cornerH) {
    if (!image_ || image_->isNull()) return;
    QPainter p(image_);
    p.setCompositionMode(compositionOf(mode_));
    p.setPen(QPen(QColor::fromRgb(pen_), width_));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                            QPoint(std::max(x1, x2) - 1, std::max(y1, y2) - 1)),
                      cornerW / 2.0, cornerH / 2.0);
}

void ImageCanvas::textOut(int x, int y, const QString& text) {
    if (!image_ || image_->isNull()) return;
    QPainter p(image_);
    p.setFont(font_);
    p.setPen(fontColour_);
    p.drawText(QPoint(x, y + p.fontMetrics().ascent()), text);
}

int ImageCanvas::red(int x, int y) const {
    if (!image_ || x < 0 || y < 0 || x >= image_->width() || y >= image_->height()) return 255;
    return qRed(reinterpret_cast<const QRgb*>(image_->constScanLine(y))[x]);
}

void DrawShape(ImageCanvas& canvas, QPoint p1, QPoint p2, int kind, ImageCanvas::PenMode mode) {
    canvas.setPenMode(mode);
    switch (kind) {
    case ShapeLine:
        canvas.line(p1.x(), p1.y(), p2.x(), p2.y());
        break;
    case ShapeRectangle:
        canvas.rectangle(p1.x(), p1.y(), p2.x(), p2.y());
        break;
    case ShapeEllipse:
        canvas.ellipse(p1.x(), p1.y(), p2.x(), p2.y());
        break;
    case ShapeRoundRect:
        canvas.roundRect(p1.x(), p1.y(), p2.x(), p2.y(), std::abs(p2.x() - p1.x()) / 2,
                         std::abs(p2.y() - p1.y()) / 2);
        break;
    default:
        break;
    }
}

void TWOD_PLOT(ImageCanvas& canvas, int x, int y, int number, bool withLabel) {
    // Each arm covers the three pixels beside the centre.
    canvas.line(x - 3, y, x + 4, y);
    canvas.line(x, y - 3, x, y + 4);
    if (withLabel) canvas.textOut(x + 3, y + 3, QString::number(number));
}

} // namespace tarnix
