#include "display/reflectivity_curve.h"

#include "display/image_canvas.h"

namespace tarnix {

QImage reflectivityCurveImage(const ReflectivityPage& page, int height) {
    if (page.width() < 1 || height < 1) return QImage();
    QImage image(page.width(), height, QImage::Format_RGB32);
    if (image.isNull()) return image;
    image.fill(QColor(255, 255, 0));
    ImageCanvas canvas(&image);
    canvas.setPenColour(Qt::black);
    const std::vector<CurvePoint> pts = reflectivityCurve(page, height);
    canvas.moveTo(pts.front().x, pts.front().y);
    for (size_t i = 1; i < pts.size(); ++i) canvas.lineTo(pts[i].x, pts[i].y);
    return image;
}

} // namespace tarnix
