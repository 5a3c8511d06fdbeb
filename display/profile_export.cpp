#include "display/profile_export.h"

#include "core/error.h"
#include "core/session.h"
#include "display/profile_layout.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cstdint>
#include <fstream>
#include <vector>

namespace tarnix {

namespace {
void put16(std::vector<unsigned char>& b, uint16_t v) {
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}
void put32(std::vector<unsigned char>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
} // namespace

bool writeTiff24(const QImage& image, const std::string& path) {
    if (image.isNull()) return false;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const uint32_t w = rgb.width(), h = rgb.height();
    const uint64_t dataBytes = uint64_t(w) * h * 3;
    if (dataBytes > 0xFFFFFFFFull - 4096) return false; // a classic TIFF has 32-bit offsets
    // Header, then the pixel strip, then the directory and the bits-per-sample triple.
    std::vector<unsigned char> head;
    head.insert(head.end(), {'I', 'I', 42, 0});
    const uint32_t stripOffset = 8;
    const uint32_t ifdOffset = stripOffset + uint32_t(dataBytes) + (dataBytes & 1);
    put32(head, ifdOffset);
    struct Entry {
        uint16_t tag, type;
        uint32_t count, value;
    };
    const uint16_t kShort = 3, kLong = 4, kRational = 5;
    const int n = 11;
    const uint32_t bitsOffset = ifdOffset + 2 + n * 12 + 4;
    const uint32_t resOffset = bitsOffset + 6;
    const Entry entries[n] = {
        {256, kLong, 1, w},
        {257, kLong, 1, h},
        {258, kShort, 3, bitsOffset},
        {259, kShort, 1, 1}, // no compression
        {262, kShort, 1, 2}, // RGB
        {273, kLong, 1, stripOffset},
        {277, kShort, 1, 3},
        {278, kLong, 1, h},
        {279, kLong, 1, uint32_t(dataBytes)},
        {282, kRational, 1, resOffset},
        {283, kRational, 1, resOffset},
    };
    std::vector<unsigned char> tail;
    put16(tail, n);
    for (const Entry& e : entries) {
        put16(tail, e.tag);
        put16(tail, e.type);
        put32(tail, e.count);
        if (e.type == kShort && e.count == 1) {
            put16(tail, static_cast<uint16_t>(e.value));
            put16(tail, 0);
        } else {
            put32(tail, e.value);
        }
    }
    put32(tail, 0); // no further directory
    for (int i = 0; i < 3; ++i) put16(tail, 8);
    put32(tail, 72); // 72 pixels per inch, as the picture says
    put32(tail, 1);

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(head.data()), std::streamsize(head.size()));
    for (uint32_t y = 0; y < h; ++y)
        out.write(reinterpret_cast<const char*>(rgb.constScanLine(int(y))), std::streamsize(w) * 3);
    if (dataBytes & 1) out.put(0);
    out.write(reinterpret_cast<const char*>(tail.data()), std::streamsize(tail.size()));
    out.close();
    return bool(out);
}

void writeProfilePdf(const Session& s, const QImage& picture, const QFont& font,
                     const std::string& path) {
    if (picture.isNull()) throw IoError("There is no profile image to write to " + path);
    const QString name = QString::fromStdString(path);
    QPdfWriter pdf(name);
    pdf.setResolution(72);
    pdf.setCreator("Tarnix");
    pdf.setTitle(QString::fromStdString(lineNameCaption(s.InputFileName)));
    pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(picture.width(), picture.height()),
                                            QPageSize::Point, QString(), QPageSize::ExactMatch),
                                  QPageLayout::Portrait, QMarginsF()));
    QPainter p;
    if (!p.begin(&pdf)) throw IoError("Cannot write the PDF file " + path);
    p.fillRect(QRect(0, 0, picture.width(), picture.height()), Qt::white);
    // The data area as painted, one image pixel per point.
    const QRect data(kProfileMargin + 1, kProfileMargin, std::max(0, s.ImageColumns),
                     std::max(0, s.ImageRows + 1));
    const QRect inside = data.intersected(picture.rect());
    if (!inside.isEmpty()) p.drawImage(inside.topLeft(), picture, inside);

    const AnnotationLayout layout = annotationLayout(s);
    p.setFont(font);
    p.setPen(QPen(Qt::black, 1));
    const int ascent = p.fontMetrics().ascent();
    for (const AnnotationText& t :
         thinnedLabels(layout.texts, p.fontMetrics().height(), [&p](const std::string& text) {
             return p.fontMetrics().horizontalAdvance(QString::fromStdString(text));
         }))
        p.drawText(QPoint(t.x, t.y + ascent), QString::fromStdString(t.text));
    for (const AnnotationLine& l : layout.lines)
        p.drawLine(QPointF(l.x1 + 0.5, l.y1 + 0.5), QPointF(l.x2 + 0.5, l.y2 + 0.5));
    if (layout.hasDataArea)
        p.drawRect(QRectF(layout.dataArea.x1 + 0.5, layout.dataArea.y1 + 0.5,
                          layout.dataArea.x2 - layout.dataArea.x1 - 1,
                          layout.dataArea.y2 - layout.dataArea.y1 - 1));
    const int H = picture.height();
    if (s.display.LineNameLabelCheck) {
        QFont small = font;
        small.setPointSize(8);
        p.setFont(small);
        const int a = p.fontMetrics().ascent();
        p.drawText(QPoint(50, H - 38 + a), QStringLiteral("TARNIX v.1.1"));
        p.drawText(QPoint(50, H - 22 + a),
                   QString::fromStdString(lineNameCaption(s.InputFileName)));
    }
    p.drawRect(QRectF(0.5, 0.5, picture.width() - 1, H - 1));
    if (!p.end()) throw IoError("Cannot write the PDF file " + path);
    if (QFile(name).size() <= 0) throw IoError("Cannot write the PDF file " + path);
}

} // namespace tarnix
