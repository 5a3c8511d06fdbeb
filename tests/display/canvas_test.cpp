#include "display/image_canvas.h"

#include <gtest/gtest.h>

using namespace tarnix;

namespace {
QImage white(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(0xFFFFFFFFu);
    return img;
}
int inked(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += (img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    return n;
}
} // namespace

TEST(Canvas, LinesStopShortOfTheirEndAndRectanglesCoverUpToTheSecondCorner) {
    QImage img = white(20, 20);
    ImageCanvas c(&img);
    c.line(2, 5, 8, 5);
    EXPECT_EQ(inked(img), 6); // 2..7
    EXPECT_EQ(c.penPos(), QPoint(8, 5));
    img.fill(0xFFFFFFFFu);
    DrawShape(c, QPoint(3, 3), QPoint(10, 8), ShapeRectangle, ImageCanvas::Copy);
    EXPECT_EQ(img.pixel(3, 3) & 0xFFFFFF, 0u);
    EXPECT_EQ(img.pixel(9, 7) & 0xFFFFFF, 0u);
    EXPECT_EQ(img.pixel(10, 8) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(img.pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu); // hollow
    EXPECT_EQ(inked(img), 2 * 7 + 2 * 3);
    // A frame the size of the image shows on all four edges; shapes off the image are clipped.
    img.fill(0xFFFFFFFFu);
    DrawShape(c, QPoint(0, 0), QPoint(20, 20), ShapeRectangle, ImageCanvas::Copy);
    EXPECT_EQ(inked(img), 4 * 19);
    c.line(-50, -50, 100, -50);
}

TEST(Canvas, XorModeTwiceRestoresAndCrossHasThreePixelArms) {
    QImage img = white(20, 20);
    img.setPixel(4, 4, 0xFF123456u);
    ImageCanvas c(&img);
    c.setPenColour(QColor(0, 255, 0));
    DrawShape(c, QPoint(2, 4), QPoint(9, 4), ShapeLine, ImageCanvas::Xor);
    EXPECT_EQ(img.pixel(4, 4) & 0xFFFFFF, 0x12CB56u);
    DrawShape(c, QPoint(2, 4), QPoint(9, 4), ShapeLine, ImageCanvas::Xor);
    EXPECT_EQ(img.pixel(4, 4) & 0xFFFFFF, 0x123456u);
    EXPECT_EQ(img.pixel(5, 4) & 0xFFFFFF, 0xFFFFFFu);

    img.fill(0xFFFFFFFFu);
    c.setPenMode(ImageCanvas::Copy);
    TWOD_PLOT(c, 10, 10, 0, false);
    EXPECT_EQ(inked(img), 13); // centre drawn twice
    for (int d = -3; d <= 3; ++d) {
        EXPECT_NE(img.pixel(10 + d, 10) & 0xFFFFFF, 0xFFFFFFu);
        EXPECT_NE(img.pixel(10, 10 + d) & 0xFFFFFF, 0xFFFFFFu);
    }
    EXPECT_EQ(c.red(-1, 3), 255);
    EXPECT_EQ(c.red(10, 10), 0);
}

TEST(Canvas, WidePensCentreASquareOnEveryPointAndCombineModesTouchEachPixelOnce) {
    QImage img = white(20, 20);
    ImageCanvas c(&img);
    c.setPenWidth(3);
    c.line(5, 10, 15, 10);
    EXPECT_EQ(inked(img), 3 * 12); // points 5..14, squares over columns 4..15, rows 9..11
    EXPECT_NE(img.pixel(4, 9) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_NE(img.pixel(15, 11) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(img.pixel(5, 12) & 0xFFFFFF, 0xFFFFFFu);
    // An even width leans right and down of the point.
    img.fill(0xFFFFFFFFu);
    c.setPenWidth(2);
    c.penDot(10, 10);
    EXPECT_EQ(inked(img), 4);
    EXPECT_NE(img.pixel(11, 11) & 0xFFFFFF, 0xFFFFFFu);
    c.setPenWidth(0);
    EXPECT_EQ(c.penWidth(), 1);
    c.setPenWidth(9);
    EXPECT_EQ(c.penWidth(), 5);
    // Overlapping stamps of a wide Xor pen would invert twice and leave holes.
    img.fill(0xFFFFFFFFu);
    c.setPenWidth(3);
    c.setPenColour(QColor(255, 255, 255));
    c.setPenMode(ImageCanvas::Xor);
    c.line(3, 3, 16, 12);
    c.line(3, 3, 16, 12);
    EXPECT_EQ(inked(img), 0);
    c.line(3, 3, 16, 3);
    EXPECT_EQ(inked(img), 3 * 15);
}

TEST(Canvas, PenStylesRunTheirPatternOnAcrossSegments) {
    auto row = [](ImageCanvas::PenStyle st, int width) {
        QImage img = white(60, 10);
        ImageCanvas c(&img);
        c.setPenStyle(st);
        c.setPenWidth(width);
        // Two segments of one polyline: the pattern does not restart at the joint.
        c.moveTo(0, 5);
        c.lineTo(10, 5);
        c.lineTo(40, 5);
        std::string s;
        for (int x = 0; x < 40; ++x) s += (img.pixel(x, 5) & 0xFFFFFF) != 0xFFFFFF ? '#' : '.';
        return s;
    };
    EXPECT_EQ(row(ImageCanvas::Solid, 1), std::string(40, '#'));
    EXPECT_EQ(row(ImageCanvas::Dash, 1), "######...######...######...######...####");
    EXPECT_EQ(row(ImageCanvas::Dot, 1), "#..#..#..#..#..#..#..#..#..#..#..#..#..#");
    EXPECT_EQ(row(ImageCanvas::DashDot, 1), "######..#..######..#..######..#..######.");
    EXPECT_EQ(row(ImageCanvas::DashDotDot, 1), "######..#..#..######..#..#..######..#..#");
    // Runs scale with the width; each point is a square of it.
    EXPECT_EQ(row(ImageCanvas::Dot, 2), "###...###...###...###...###...###...###.");
}
