#include "display/image_canvas.h"

#include <QPainter>
#include <cstdlib>

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

void ImageCanvas::lineTo(int x, int y) {
    // Bresenham from the pen position; the end pixel is left for the next segment.
    int x0 = pos_.x(), y0 = pos_.y();
    int dx = std::abs(x - x0), dy = -std::abs(y - y0);
    int sx = x0 < x ? 1 : -1, sy = y0 < y ? 1 : -1;
    int err = dx + dy;
    while (!(x0 == x && y0 == y)) {
        plot(x0, y0);
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
    p.setPen(QPen(QColor::fromRgb(pen_), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                        QPoint(std::max(x1, x2) - 1, std::max(y1, y2) - 1)));
}

void ImageCanvas::roundRect(int x1, int y1, int x2, int y2, int cornerW, int cornerH) {
    if (!image_ || image_->isNull()) return;
    QPainter p(image_);
    p.setCompositionMode(compositionOf(mode_));
    p.setPen(QPen(QColor::fromRgb(pen_), 1));
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
