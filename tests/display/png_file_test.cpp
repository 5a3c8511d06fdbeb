#include "display/png_file.h"
#include "support/temp_dir.h"

#include <QImage>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>

namespace tarnix {
namespace {

// Byte 25 of a PNG is the IHDR colour type.
int colourType(const std::string& path) {
    const std::string bytes = test::readTextFile(path);
    return bytes.size() > 25 ? static_cast<unsigned char>(bytes[25]) : -1;
}

void expectSamePixels(const QImage& ours, const std::string& path, const char* what) {
    QImage back(QString::fromStdString(path));
    ASSERT_FALSE(back.isNull()) << what;
    ASSERT_EQ(back.size(), ours.size()) << what;
    back = back.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x)
            ASSERT_EQ(back.pixel(x, y) & 0xFFFFFFu, ours.pixel(x, y) & 0xFFFFFFu)
                << what << " at " << x << "," << y;
}

TEST(PngFile, ReadsBackPixelForPixelIndexedAndTruecolour) {
    test::TempDir dir;
    // Widths around the 4-pixel steps of the row conversion and its tail.
    for (int w : {1, 2, 3, 5, 6, 7, 9, 13, 34}) {
        // 300 rows: past 256 colours however narrow.
        QImage few(w, 300, QImage::Format_RGB32), many(w, 300, QImage::Format_RGB32);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < w; ++x) {
                few.setPixel(x, y, qRgb(40 * (x % 3), 255 - y % 4, 7));
                many.setPixel(x, y, qRgb(x, y & 0xFF, y >> 8));
            }
        const std::string a = dir.file("few.png"), b = dir.file("many.png");
        ASSERT_TRUE(writePng(few, a));
        EXPECT_EQ(colourType(a), 3) << w;
        expectSamePixels(few, a, "indexed");
        ASSERT_TRUE(writePng(many, b));
        EXPECT_EQ(colourType(b), 2) << w;
        expectSamePixels(many, b, "small truecolour");
    }
}

TEST(PngFile, PaletteLimitAndResolution) {
    test::TempDir dir;
    QImage img(16, 17, QImage::Format_RGB32);
    for (int i = 0; i < 256; ++i) img.setPixel(i % 16, i / 16, qRgb(i, 255 - i, i / 2));
    for (int x = 0; x < 16; ++x) img.setPixel(x, 16, qRgb(0, 255, 0)); // colour 0 again
    img.setDotsPerMeterX(3780);
    img.setDotsPerMeterY(2001);
    const std::string p = dir.file("p.png");
    ASSERT_TRUE(writePng(img, p));
    EXPECT_EQ(colourType(p), 3); // exactly 256 colours
    expectSamePixels(img, p, "256 colours");
    const QImage back(QString::fromStdString(p));
    EXPECT_EQ(back.dotsPerMeterX(), 3780);
    EXPECT_EQ(back.dotsPerMeterY(), 2001);

    img.setPixel(15, 16, qRgb(1, 2, 3)); // the 257th, in the very last pixel
    ASSERT_TRUE(writePng(img, p));
    EXPECT_EQ(colourType(p), 2);
    expectSamePixels(img, p, "257 colours");
}

TEST(PngFile, LargeNoisyPictureSpansManyChunksAndBlocks) {
    // Several row blocks and compressed chunks; a file written again over a
    // longer one must not keep the old tail.
    test::TempDir dir;
    const std::string p = dir.file("big.png");
    std::mt19937 rng(5);
    QImage noise(1500, 900, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) noise.setPixel(x, y, rng() | 0xFF000000u);
    ASSERT_TRUE(writePng(noise, p));
    EXPECT_GT(test::readTextFile(p).size(), 3u << 20);
    expectSamePixels(noise, p, "noise");

    QImage grey(1500, 900, QImage::Format_RGB32);
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x) {
            const int g = rng() & 0xFF;
            grey.setPixel(x, y, qRgb(g, g, g));
        }
    ASSERT_TRUE(writePng(grey, p));
    EXPECT_EQ(colourType(p), 3);
    expectSamePixels(grey, p, "grey noise");
}

TEST(PngFile, RefusesWhatItCannotWrite) {
    test::TempDir dir;
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(0xFFFFFFFFu);
    EXPECT_FALSE(writePng(img, dir.file("missing/x.png")));
    EXPECT_FALSE(writePng(QImage(), dir.file("null.png")));
    EXPECT_FALSE(writePng(img.convertToFormat(QImage::Format_ARGB32), dir.file("argb.png")));
}

} // namespace
} // namespace tarnix
