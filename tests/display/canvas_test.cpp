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
