#include "core/error.h"
#include "core/session.h"
#include "display/palette.h"
#include "display/profile_layout.h"
#include "display/profile_renderer.h"
#include "support/temp_dir.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <random>

using namespace tarnix;

namespace {

struct Profile {
    std::unique_ptr<Session> s = std::make_unique<Session>();
    std::unique_ptr<TraceBuffer> trace = std::make_unique<TraceBuffer>();
    ProfileRenderer r{*s};

    // One shot, NVP rows, trace of n samples.
    Profile(int nvp, int shots = 1) {
        s->display.NVP.set(nvp);
        s->NumTraces = shots;
        trace->fill(0);
    }
    QRgb at(int x, int y) const { return r.bitmap().pixel(x, y) & 0xFFFFFF; }
};

uint32_t colourOf(int palette, int level) {
    uint32_t rgb = 0xDEAD;
    EXPECT_TRUE(paletteColour(palette, level, rgb)) << palette << " " << level;
    return rgb;
}

} // namespace

TEST(ProfileGeometry, EvenVsizeIsLoweredAndRepeatedColumnsStartAt51) {
    Profile p(400, 10);
    p.s->display.Rep.set(3);
    p.r.createImage();
    EXPECT_EQ(p.s->ImageRows, 399);
    EXPECT_EQ(p.s->ImageColumns, 30);
    EXPECT_EQ(p.r.bitmap().height(), 499);
    EXPECT_EQ(p.r.bitmap().width(), 130);
    p.trace->fill(20000); // clipped: black in palette 0
    for (int i = 1; i <= 10; ++i)
        for (int x = shotFirstColumn(i, 3); x <= shotLastColumn(i, 3); ++x)
            p.r.DRAW_PROFILE(x, *p.trace, 100);
    EXPECT_EQ(shotFirstColumn(1, 3), 51);
    EXPECT_EQ(shotLastColumn(10, 3), 80);
    for (int x = 51; x <= 80; ++x) EXPECT_EQ(p.at(x, 449), 0x000000u) << x;
    EXPECT_EQ(p.at(50, 449), 0xFFFFFFu);
    EXPECT_EQ(p.at(81, 449), 0xFFFFFFu);
    EXPECT_EQ(p.at(51, 50), 0xFFFFFFu);  // first row is always amplitude 0
    EXPECT_EQ(p.at(51, 51), 0xFFFFFFu);  // 1 / 399 * 100 = 0.25: k = 0, amplitude 0
    EXPECT_EQ(p.at(51, 52), 0x000000u);  // 0.501: k = 1
    EXPECT_EQ(p.at(51, 450), 0xFFFFFFu); // rows 50..449 only
}

TEST(ProfileGeometry, RowSlotsRoundHalvesToEven) {
    // r / 4 * 6 = 0, 1.5, 3, 4.5, 6 -> k = 0, 2, 3, 4, 6
    EXPECT_EQ(rowSlots(4, 6), (std::vector<int>{-1, 1, 2, 3, 5}));
    EXPECT_EQ(rowSlots(3, 0), (std::vector<int>{-1, -1, -1, -1}));
    EXPECT_EQ(rowSlots(3, -20), (std::vector<int>{-1, -1, -1, -1}));
    EXPECT_TRUE(rowSlots(0, 10).empty());
    EXPECT_TRUE(rowSlots(-1, 10).empty());
    EXPECT_EQ(rowSlots(2, 100000).back(), kTraceSlots - 1); // never past the buffer
}

TEST(ProfileGeometry, NoRowsOrNoSamplesPaintNothingOrZero) {
    Profile none(0);
    none.r.createImage();
    EXPECT_EQ(none.s->ImageRows, -1);
    EXPECT_EQ(none.r.bitmap().height(), 99);
    none.trace->fill(20000);
    none.r.DRAW_PROFILE(51, *none.trace, 100);
    EXPECT_EQ(none.at(51, 50), 0xFFFFFFu);

    Profile neg(11);
    neg.s->display.PaletteBar.set(2);
    neg.r.createImage();
    neg.trace->fill(20000);
    neg.r.DRAW_PROFILE(51, *neg.trace, -5);
    for (int y = 50; y <= 61; ++y) EXPECT_EQ(neg.at(51, y), 0x7F7F7Fu);
    neg.r.DRAW_PROFILE(-1, *neg.trace, 5); // outside: ignored
    neg.r.DRAW_PROFILE(500, *neg.trace, 5);
}

// A picture of many megabytes lives in pages of its own: it must start as
// white as a small one, paint the same pixels, and behave as any image once
// the run end hands it over (drawn on, copied, drawn on again).
TEST(ProfileGeometry, LargeImagePaintsAsASmallOneAndStaysAnOrdinaryPicture) {
    Profile big(2001, 600), small(2001, 1);
    big.r.createImage();
    small.r.createImage();
    const QImage& b = big.r.bitmap();
    ASSERT_GE(static_cast<long long>(b.sizeInBytes()), 4LL << 20);
    // Rows start on 64-byte lines, the rest of each line unused.
    ASSERT_EQ(b.bytesPerLine() % 64, 0);
    ASSERT_EQ(b.bytesPerLine(), (b.width() * 4 + 63) / 64 * 64);
    for (int i = 0; i < 2001; ++i) (*big.trace)[i] = (*small.trace)[i] = (i * 977) % 40001 - 20000;
    big.r.DRAW_PROFILE(51, *big.trace, 2001);
    big.r.DRAW_PROFILE(649, *big.trace, 2001); // the last shot's column
    small.r.DRAW_PROFILE(51, *small.trace, 2001);
    for (int y = 0; y < b.height(); ++y) {
        ASSERT_EQ(big.at(51, y), small.at(51, y)) << y;
        ASSERT_EQ(big.at(649, y), small.at(51, y)) << y;
        ASSERT_EQ(big.at(0, y), 0xFFFFFFu) << y;
        ASSERT_EQ(big.at(650, y), 0xFFFFFFu) << y;
        ASSERT_EQ(big.at(b.width() - 1, y), 0xFFFFFFu) << y;
    }
    big.r.runEnd(QFont("DejaVu Sans", 8));
    QImage& pic = big.r.picture();
    pic.setPixel(300, 300, 0xFF123456u);
    const QImage copy = pic;
    pic.setPixel(301, 300, 0xFF654321u); // detaches: the copy keeps its pixels
    EXPECT_EQ(copy.pixel(300, 300), 0xFF123456u);
    EXPECT_EQ(copy.pixel(301, 300) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(pic.pixel(301, 300), 0xFF654321u);
}

TEST(ProfileGeometry, LargeImageTilesStreamedIntoWholeLinesLandAsColumnsOneByOne) {
    // 600 columns of 2001 rows painted in runs, so that the full tiles are
    // streamed into the picture, against the same columns each handed over
    // alone; double, whole and extended columns, a gap, the last column. The
    // picture written as BMP matches a copy in the toolkit's own row layout.
    constexpr int kRows = 2001, kShots = 600;
    Profile runs(kRows, kShots), alone(kRows, kShots);
    runs.r.createImage();
    alone.r.createImage();
    ASSERT_NE(runs.r.bitmap().bytesPerLine(), runs.r.bitmap().width() * 4);
    std::vector<double> doubles(kRows);
    std::vector<int32_t> whole(kRows);
    for (int col = 0; col < kShots; ++col) {
        if (col == 301) continue; // the gap
        for (int i = 0; i < kRows; ++i) {
            whole[i] = ((col * 977 + i * 131) % 40001 - 20000) * (i % 3 ? 1 : -1);
            doubles[i] = whole[i] + 0.25 * (i % 4);
            (*runs.trace)[i] = (*alone.trace)[i] = whole[i];
        }
        for (Profile* p : {&runs, &alone}) {
            if (col % 3 == 0)
                p->r.drawDoubleColumn(51 + col, doubles.data(), kRows);
            else if (col % 3 == 1)
                p->r.drawWholeColumn(51 + col, WholeWindow{whole.data(), kRows, kRows}, kRows);
            else
                p->r.DRAW_PROFILE(51 + col, *p->trace, kRows);
        }
        (void)alone.r.bitmap(); // hands the column over by itself
    }
    const QImage& a = runs.r.bitmap();
    const QImage& b = alone.r.bitmap();
    for (int y = 0; y < a.height(); ++y)
        ASSERT_EQ(std::memcmp(a.constScanLine(y), b.constScanLine(y), a.width() * 4), 0) << y;
    EXPECT_EQ(runs.at(51 + 301, 60), 0xFFFFFFu);
    EXPECT_NE(runs.at(51 + 300, 60), runs.at(51 + 302, 60));

    test::TempDir dir;
    saveProfileImage(a, dir.file("padded.bmp"));
    const QImage plain = a.copy();
    ASSERT_EQ(plain.bytesPerLine(), plain.width() * 4);
    saveProfileImage(plain, dir.file("plain.bmp"));
    EXPECT_EQ(test::readTextFile(dir.file("padded.bmp")),
              test::readTextFile(dir.file("plain.bmp")));
}

TEST(ProfileGeometry, OversizedImageIsRefused) {
    auto s = std::make_unique<Session>();
    s->display.NVP.set(10000);
    s->display.Rep.set(10);
    s->NumTraces = 100000;
    ProfileRenderer r(*s);
    EXPECT_THROW(r.createImage(), Error);
}

TEST(Palettes, OnlyPositiveGreyClipsAtHalfFullScale) {
    Profile p(3);
    p.r.createImage();
    // rows 50..53 show slots -, 0, 1, 2 (n = 3)
    (*p.trace)[0] = 16384; // +FullScale/2
    (*p.trace)[1] = 99999; // beyond: clipped
    (*p.trace)[2] = -3;
    p.r.DRAW_PROFILE(51, *p.trace, 3);
    EXPECT_EQ(p.at(51, 50), 0xFFFFFFu);
    EXPECT_EQ(p.at(51, 51), 0x000000u);
    EXPECT_EQ(p.at(51, 52), 0x000000u);
    EXPECT_EQ(p.at(51, 53), 0xFFFFFFu);
    EXPECT_EQ(colourOf(0, -255), 0xFFFFFFu);
    EXPECT_EQ(colourOf(1, -255), 0x000000u);
    EXPECT_EQ(colourOf(1, 100), 0xFFFFFFu);
}

TEST(Palettes, TwoSidedGreyIsMidGreyAtZero) {
    EXPECT_EQ(colourOf(2, 0), 0x7F7F7Fu); // m = round(127.5) = 128
    EXPECT_EQ(colourOf(2, 255), 0x000000u);
    EXPECT_EQ(colourOf(2, -255), 0xFFFFFFu);
    EXPECT_EQ(colourOf(2, 1), 0x7F7F7Fu); // round(128) = 128
    EXPECT_EQ(colourOf(2, 2), 0x7F7F7Fu); // round(128.5) = 128
    EXPECT_EQ(colourOf(2, 3), 0x7E7E7Eu);
}

TEST(Palettes, ColourPaletteOneSwitchesAt128) {
    EXPECT_EQ(colourOf(3, 0), 0xFFFFFFu);
    EXPECT_EQ(colourOf(3, 127), 0x8080FFu);
    EXPECT_EQ(colourOf(3, 128), 0xFF7F7Fu);
    EXPECT_EQ(colourOf(3, -40), 0xFFFFFFu);
}

TEST(Palettes, BandTablesKeepThePenForNegativeLevels) {
    uint32_t rgb = 0;
    for (int p : {4, 5, 6}) {
        EXPECT_FALSE(paletteColour(p, -1, rgb));
        EXPECT_EQ(colourOf(p, 0), colour::white);
        EXPECT_EQ(colourOf(p, 10), colour::white);
    }
    EXPECT_EQ(colourOf(4, 11), colour::aqua);
    EXPECT_EQ(colourOf(4, 150), colour::lime);
    EXPECT_EQ(colourOf(4, 221), colour::gray);
    EXPECT_EQ(colourOf(4, 222), colour::yellow);
    EXPECT_EQ(colourOf(5, 200), colour::red);
    EXPECT_EQ(colourOf(5, 255), colour::purple);
    EXPECT_EQ(colourOf(6, 50), colour::silver);
    EXPECT_EQ(colourOf(6, 51), colour::gray);
    EXPECT_EQ(colourOf(6, 201), colour::black);

    // A negative amplitude right below a lime row stays lime; the next column
    // starts white again in its first row.
    Profile p(3);
    p.s->display.PaletteBar.set(4);
    p.r.createImage();
    (*p.trace)[0] = 8192; // level round(127.5) = 128: lime
    (*p.trace)[1] = -500;
    (*p.trace)[2] = -16384;
    p.r.DRAW_PROFILE(51, *p.trace, 3);
    p.r.DRAW_PROFILE(52, *p.trace, 3);
    for (int x : {51, 52}) {
        EXPECT_EQ(p.at(x, 50), colour::white);
        EXPECT_EQ(p.at(x, 51), colour::lime);
        EXPECT_EQ(p.at(x, 52), colour::lime);
        EXPECT_EQ(p.at(x, 53), colour::lime);
    }
}

TEST(Palettes, TintBandsOfPalettesFiveAndSix) {
    // g = 255 - round((level + 255) / 2): level -6 -> 131, -5 -> 130, 3 -> 126, 4 -> 125
    EXPECT_EQ(colourOf(7, -6), 0x838383u);
    EXPECT_EQ(colourOf(7, -5), colour::tint);
    EXPECT_EQ(colourOf(7, 0), colour::tint);
    EXPECT_EQ(colourOf(7, 3), colour::tint);
    EXPECT_EQ(colourOf(7, 4), 0x7D7D7Du);
    EXPECT_EQ(colourOf(8, -6), 0x000083u);
    EXPECT_EQ(colourOf(8, -5), colour::tint);
    EXPECT_EQ(colourOf(8, 3), colour::tint);
    EXPECT_EQ(colourOf(8, 4), 0x7D0000u);
    EXPECT_EQ(colourOf(8, 255), 0x000000u);
    EXPECT_EQ(colourOf(8, -255), 0x0000FFu);
}

TEST(Amplitudes, GainFactorClipAndLevel) {
    EXPECT_EQ(displayAmplitude(1000, 10, 1, 16384), 10000);
    EXPECT_EQ(displayAmplitude(1000, 10, 10, 16384), 1000);
    EXPECT_EQ(displayAmplitude(-2000, 10, 1, 16384), -16384);
    EXPECT_EQ(displayAmplitude(12.99L, 10, 10, 16384), 12);
    EXPECT_EQ(displayAmplitude(-12.99L, 10, 10, 16384), -12);
    EXPECT_EQ(displayAmplitude(std::numeric_limits<long double>::quiet_NaN(), 10, 10, 16384), 0);
    EXPECT_EQ(displayAmplitude(INFINITY, 10, 10, 16384), 16384);
    EXPECT_EQ(amplitudeLevel(10000, 16384), 156); // 155.64
    EXPECT_EQ(amplitudeLevel(-16384, 16384), -255);
    EXPECT_EQ(amplitudeLevel(0, 0), 0); // a full scale of 0 or 1

    // Gain position 1 multiplies by 10 on the way into the image.
    Profile p(1 + 2);
    p.s->display.Gain.set(1);
    p.r.createImage();
    (*p.trace)[0] = 1000;
    p.r.DRAW_PROFILE(51, *p.trace, 3);
    EXPECT_EQ(p.at(51, 51), 0x636363u); // 255 - 156
    p.s->display.Gain.set(10);
    p.r.DRAW_PROFILE(52, *p.trace, 3);
    EXPECT_EQ(p.at(52, 51), 0xEFEFEFu); // 255 - round(15.56)
}

TEST(Amplitudes, QuickTruncationLeavesQuotientsWithinTheirRoundingToTheExtendedFormula) {
    // At the largest clip level a double's spacing near the top is 7.5e-9, so
    // a quotient a few spacings below a whole number can be a rounding of one
    // on or above it: a fixed margin of 1e-9 would truncate it one level low.
    const int32_t half = 1 << 26;
    const double k = half - 1;
    const double spacing = std::nextafter(k, 0.0) - k; // negative
    for (const double sign : {1.0, -1.0}) {
        const double nearly = sign * (k + 3 * spacing);
        EXPECT_EQ(quickAmplitude(nearly, false, 1, 1, half), kAmplitudeUnsure) << sign;
        EXPECT_EQ(quickAmplitude(nearly, true, 1, 1, half), kAmplitudeUnsure) << sign;
        // Far enough from any whole number, and whole values, stay quick.
        EXPECT_EQ(quickAmplitude(sign * (k - 0.25), false, 1, 1, half), sign * (k - 1)) << sign;
        EXPECT_EQ(quickAmplitude(sign * k, true, 1, 1, half), sign * k) << sign;
        EXPECT_EQ(quickAmplitude(sign * (half + 1.0), false, 1, 1, half), sign * half) << sign;
        // The usual clip level keeps the 1e-9 margin: 3e-9 below 100 is 99.
        EXPECT_EQ(quickAmplitude(sign * (100 - 3e-9), false, 1, 1, 16384), sign * 99) << sign;
    }
    EXPECT_EQ(quickAmplitude(std::nan(""), true, 10, 10, half), kAmplitudeUnsure);
    EXPECT_EQ(quickAmplitude(HUGE_VAL, true, 10, 3, 16384), 16384);
    EXPECT_EQ(quickAmplitude(-HUGE_VAL, false, 10, 3, 16384), -16384);
    EXPECT_EQ(quickAmplitude(700, true, 10, 7, 16384), 1000); // whole, so trusted on the dot
}

TEST(SaveImage, PngAndBmpRoundTripAndFailureNamesTheFile) {
    QImage img(7, 5, QImage::Format_RGB32);
    img.fill(0xFF102030u);
    img.setPixel(3, 2, 0xFFFF0000u);
    test::TempDir dir;
    for (const char* name : {"a.png", "b.BMP", "c.bmp"}) {
        saveProfileImage(img, dir.file(name));
        QImage back(QString::fromStdString(dir.file(name)));
        ASSERT_FALSE(back.isNull()) << name;
        EXPECT_EQ(back.pixel(3, 2) & 0xFFFFFF, 0xFF0000u);
        EXPECT_EQ(back.pixel(0, 0) & 0xFFFFFF, 0x102030u);
    }
    try {
        saveProfileImage(img, dir.file("missing/x.bmp"));
        FAIL();
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("missing/x.bmp"), std::string::npos);
    }
}

TEST(SaveImage, WrittenOverAnOlderFileGivesTheSameBytesAsAFreshOne) {
    // The writers reuse an existing file in place: nothing of a longer old
    // file may survive, and the palette the PNG writer fills in afterwards
    // must not send it to the old file's end.
    test::TempDir dir;
    std::mt19937 rng(3);
    QImage big(600, 400, QImage::Format_RGB32);
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x) big.setPixel(x, y, rng() | 0xFF000000u);
    QImage few(50, 30, QImage::Format_RGB32); // indexed as PNG
    for (int y = 0; y < few.height(); ++y)
        for (int x = 0; x < few.width(); ++x) few.setPixel(x, y, qRgb(x % 5 * 40, y % 3 * 60, 9));
    for (const char* ext : {".bmp", ".png"}) {
        const std::string fresh = dir.file(std::string("fresh") + ext);
        const std::string over = dir.file(std::string("over") + ext);
        for (const QImage* img : {&few, &big}) {
            saveProfileImage(big, over); // the longer file first
            saveProfileImage(*img, over);
            std::remove(fresh.c_str());
            saveProfileImage(*img, fresh);
            ASSERT_EQ(test::readTextFile(over), test::readTextFile(fresh)) << ext;
        }
    }
    // A name taken by something that is not a regular file still fails.
    EXPECT_THROW(saveProfileImage(few, dir.file("")), IoError);
}

TEST(SaveImage, BmpBytesAsTheToolkitWritesThem) {
    // Widths that need 0 to 3 padding bytes per row, and a resolution of its own.
    test::TempDir dir;
    for (int w : {1, 2, 3, 4, 5, 6, 7, 9, 10, 13, 34}) {
        QImage img(w, 3, QImage::Format_RGB32);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(10 * x + y, 200 - x, 37 * y + 1));
        img.setDotsPerMeterX(3780 + w);
        img.setDotsPerMeterY(2000);
        saveProfileImage(img, dir.file("ours.bmp"));
        ASSERT_TRUE(img.save(QString::fromStdString(dir.file("theirs.bmp")), "BMP"));
        EXPECT_EQ(test::readTextFile(dir.file("ours.bmp")),
                  test::readTextFile(dir.file("theirs.bmp")))
            << "width " << w;
    }
}

namespace {

// DRAW_PROFILE as written down: every pixel through the extended formulas and
// the palette, the pen carried from pixel to pixel. Returns 0xRRGGBB per row.
std::vector<uint32_t> referenceColumn(const Session& s, const TraceBuffer& t, int n,
                                      uint32_t& pen) {
    const int rows = s.ImageRows;
    const std::vector<int> slot = rowSlots(rows, n);
    const long long half = s.FullScale / 2;
    std::vector<uint32_t> out;
    for (int r = 0; r <= rows; ++r) {
        const long long a = slot[r] < 0 ? 0
                                        : displayAmplitude(t[slot[r]], s.display.Gain.max(),
                                                           s.display.Gain(), half);
        uint32_t rgb;
        if (paletteColour(s.display.PaletteBar(), amplitudeLevel(a, half), rgb)) pen = rgb;
        out.push_back(pen);
    }
    return out;
}

} // namespace

TEST(ProfilePaint, FastColumnsMatchThePixelByPixelReference) {
    // Samples a double cannot tell from whole numbers, whole numbers, values at
    // the clip level and beyond, quotients by 3 and 7 next to whole numbers,
    // and values that are no numbers at all.
    const long double ulp = std::numeric_limits<long double>::epsilon();
    std::vector<long double> v;
    for (long double k : {0.0L, 1.0L, 7.0L, 64.0L, 1000.0L, 16383.0L, 16384.0L, 16385.0L, 30000.0L})
        for (long double sign : {1.0L, -1.0L})
            for (long double d :
                 {0.0L, ulp, -ulp, 4 * ulp * k, -4 * ulp * k, 1e-12L, -1e-12L, 0.5L})
                v.push_back(sign * (k + d));
    // Just beside every whole amplitude up to 700 (so every level boundary below
    // it), for each gain: doubles cannot tell these from the whole number.
    for (int k = 1; k <= 700; ++k)
        for (int pos : {10, 7, 3}) {
            const long double at = k * static_cast<long double>(pos) / 10;
            v.push_back(at * (1 - 2 * ulp));
            v.push_back(-at * (1 - 2 * ulp));
        }
    for (int k = 1; k < 400; ++k) {
        v.push_back(k * 3.0L / 7.0L);
        v.push_back(-k * 7.0L / 3.0L);
        v.push_back(k * 1234.5678L * std::sin(0.37L * k));
    }
    v.push_back(std::numeric_limits<long double>::infinity());
    v.push_back(-std::numeric_limits<long double>::infinity());
    v.push_back(std::numeric_limits<long double>::quiet_NaN());
    v.push_back(1e30L);
    v.push_back(-1e-4000L);
    const int n = static_cast<int>(v.size());

    for (int palette : {2, 4}) {
        for (int gain : {10, 7, 3, 1}) {
            Profile p(n + 1, 1); // one row per sample
            p.s->display.PaletteBar.set(palette);
            p.s->display.Gain.set(gain);
            p.r.createImage();
            std::copy(v.begin(), v.end(), p.trace->begin());
            uint32_t pen = 0;
            const std::vector<uint32_t> want = referenceColumn(*p.s, *p.trace, n, pen);
            p.r.DRAW_PROFILE(51, *p.trace, n);
            for (int r = 0; r <= p.s->ImageRows; ++r)
                ASSERT_EQ(p.at(51, 50 + r), want[r])
                    << "palette " << palette << " gain " << gain << " row " << r;
        }
    }
}

TEST(Palettes, AFullScaleFromTheDataPaintsSmallFloatsAsTheSixteenBitScale) {
    // Samples below 1 with a full scale of 1 from the data paint as the same
    // fractions of 32768 do with the 16-bit scale.
    Profile ints(5), floats(5);
    for (Profile* p : {&ints, &floats}) {
        p->s->display.PaletteBar.set(2);
        p->r.createImage();
    }
    floats.s->FullScale = 1;
    floats.s->FullScaleFromData = true;
    const long double fractions[5] = {0.5L, 0.25L, -0.125L, 0.001L, -3};
    for (int i = 0; i < 5; ++i) {
        (*floats.trace)[i] = fractions[i];
        (*ints.trace)[i] = fractions[i] * 32768;
    }
    ints.r.DRAW_PROFILE(51, *ints.trace, 5);
    floats.r.DRAW_PROFILE(51, *floats.trace, 5);
    for (int y = 50; y <= 55; ++y) EXPECT_EQ(floats.at(51, y), ints.at(51, y)) << y;
    EXPECT_EQ(floats.at(51, 51), 0x000000u); // +FullScale/2: the palette's end
    EXPECT_NE(floats.at(51, 52), floats.at(51, 50));
    EXPECT_EQ(floats.at(51, 55), 0xFFFFFFu); // clipped below
}

TEST(ProfilePaint, WholeNumberColumnsMatchTheExtendedColumns) {
    // Every 16-bit value, the range ends among them, in 16 columns of 4097
    // rows, one row per sample; the last column's samples end early, so its
    // lower rows are zeros. Band palettes carry the pen across columns.
    constexpr int kRows = 4097, kColumns = 16;
    std::vector<int32_t> values(static_cast<size_t>(kColumns) * kRows);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<int32_t>((i * 7919) % 65536) - 32768;
    values[0] = -32768;
    values[1] = 32767;
    struct Case {
        int palette, gain, clip, fromDataScale;
    };
    for (const Case c :
         {Case{0, 10, 0, 0}, Case{2, 7, 0, 0}, Case{4, 3, 0, 0}, Case{6, 1, 0, 0},
          Case{2, 10, 100, 0}, Case{5, 7, 20001, 0}, Case{3, 10, 0, 13468}, Case{2, 3, 0, 1}}) {
        Profile ext(kRows, kColumns), whole(kRows, kColumns);
        for (Profile* p : {&ext, &whole}) {
            p->s->display.PaletteBar.set(c.palette);
            p->s->display.Gain.set(c.gain);
            p->s->display.ClipLevel = c.clip;
            p->s->FullScaleFromData = c.fromDataScale > 0;
            if (c.fromDataScale > 0) p->s->FullScale = c.fromDataScale;
            p->r.createImage();
        }
        ASSERT_EQ(ext.s->ImageRows, kRows);
        for (int col = 0; col < kColumns; ++col) {
            const int32_t* v = values.data() + static_cast<size_t>(col) * kRows;
            const int live = col + 1 == kColumns ? 3000 : kRows;
            ext.trace->fill(0);
            for (int i = 0; i < live; ++i) (*ext.trace)[i] = v[i];
            ext.r.DRAW_PROFILE(51 + col, *ext.trace, kRows);
            whole.r.drawWholeColumn(51 + col, WholeWindow{v, live, kRows + 10}, kRows);
        }
        const QImage& a = ext.r.bitmap();
        const QImage& b = whole.r.bitmap();
        for (int x = 51; x < 51 + kColumns; ++x)
            for (int y = 50; y <= 50 + kRows; ++y)
                ASSERT_EQ(a.pixel(x, y), b.pixel(x, y))
                    << "palette " << c.palette << " gain " << c.gain << " clip " << c.clip
                    << " scale " << c.fromDataScale << " at " << x << "," << y;
    }
}

TEST(ProfilePaint, DoubleColumnsMatchTheExtendedColumns) {
    // Fractions on both sides of the amplitude steps, values past the clip,
    // tiny and huge ones, -0, NaN and infinities; a scaled full scale goes
    // the extended way.
    constexpr int kRows = 2001, kColumns = 6;
    std::vector<double> values(static_cast<size_t>(kColumns) * kRows);
    std::mt19937 gen(5);
    std::uniform_real_distribution<double> u(-40000, 40000);
    for (size_t i = 0; i < values.size(); ++i) {
        const double whole = std::round(u(gen) / 3);
        switch (i % 8) {
        case 0:
            values[i] = u(gen);
            break;
        case 1:
            values[i] = std::nextafter(whole, 1e9);
            break;
        case 2:
            values[i] = std::nextafter(whole, -1e9);
            break;
        case 3:
            values[i] = whole + 0.5;
            break;
        case 4:
            values[i] = u(gen) * 1e-300;
            break;
        case 5:
            values[i] = u(gen) * 1e290;
            break;
        case 6:
            values[i] = whole;
            break;
        default:
            values[i] = u(gen) / 7;
            break;
        }
    }
    values[0] = -0.0;
    values[1] = std::nan("");
    values[2] = HUGE_VAL;
    values[3] = -HUGE_VAL;
    for (const auto [palette, gain, clip, fromDataScale] : {std::array{0, 10, 0, 0},
                                                            {2, 7, 0, 0},
                                                            {5, 3, 20001, 0},
                                                            {3, 10, 0, 13468},
                                                            {2, 1, 0, 1}}) {
        Profile ext(kRows, kColumns), dbl(kRows, kColumns);
        for (Profile* p : {&ext, &dbl}) {
            p->s->display.PaletteBar.set(palette);
            p->s->display.Gain.set(gain);
            p->s->display.ClipLevel = clip;
            p->s->FullScaleFromData = fromDataScale > 0;
            if (fromDataScale > 0) p->s->FullScale = fromDataScale;
            p->r.createImage();
        }
        for (int col = 0; col < kColumns; ++col) {
            const double* v = values.data() + static_cast<size_t>(col) * kRows;
            ext.trace->fill(0);
            for (int i = 0; i < kRows; ++i) (*ext.trace)[i] = v[i];
            ext.r.DRAW_PROFILE(51 + col, *ext.trace, kRows);
            dbl.r.drawDoubleColumn(51 + col, v, kRows);
        }
        const QImage& a = ext.r.bitmap();
        const QImage& b = dbl.r.bitmap();
        for (int x = 51; x < 51 + kColumns; ++x)
            for (int y = 50; y <= 50 + kRows; ++y)
                ASSERT_EQ(a.pixel(x, y), b.pixel(x, y))
                    << "palette " << palette << " gain " << gain << " clip " << clip << " scale "
                    << fromDataScale << " at " << x << "," << y;
    }
}

TEST(ProfilePaint, DoubleColumnsGatheredFromMoreOrFewerSamplesMatchTheExtendedColumns) {
    // 1001 rows from 400 samples (rows repeat), from 1001 and from 2503
    // (rows skip), so that runs of four rows are along the trace, across a
    // skip, or past its end; at the usual clip level and at the largest one,
    // with values a few spacings from the amplitude steps there.
    constexpr int kRows = 1001, kMost = 2503;
    std::vector<double> values(kMost);
    std::mt19937 gen(11);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int i = 0; i < kMost; ++i) {
        const double step = std::round(u(gen) * (1 << 26));
        values[i] = i % 3 == 0 ? u(gen) * 40000 : i % 3 == 1 ? std::nextafter(step, 0.0) : step;
        if (i % 5 == 0) values[i] = std::nextafter(std::nextafter(values[i], 1e300), 1e300);
    }
    for (const int n : {400, kRows, kMost})
        for (const long long clip : {0LL, 1LL << 26})
            for (const int palette : {2, 4}) {
                Profile ext(kRows, 3), dbl(kRows, 3);
                for (Profile* p : {&ext, &dbl}) {
                    p->s->display.PaletteBar.set(palette);
                    p->s->display.Gain.set(7);
                    p->s->display.ClipLevel = clip;
                    p->r.createImage();
                }
                ASSERT_EQ(ext.s->ImageRows, kRows);
                for (int i = 0; i < n; ++i) (*ext.trace)[i] = values[i];
                for (int col = 0; col < 3; ++col) {
                    ext.r.DRAW_PROFILE(51 + col, *ext.trace, n);
                    dbl.r.drawDoubleColumn(51 + col, values.data(), n);
                }
                for (int x = 51; x < 54; ++x)
                    for (int y = 50; y <= 50 + kRows; ++y)
                        ASSERT_EQ(ext.at(x, y), dbl.at(x, y))
                            << "samples " << n << " clip " << clip << " palette " << palette
                            << " at " << x << "," << y;
            }
}

TEST(ProfilePaint, WholeColumnsGatheredFromMoreOrFewerSamplesMatchTheExtendedColumns) {
    // As for doubles: 1001 rows from 400, 1001 and 2503 samples, each time
    // with all of them held and with the held ones ending inside a run of
    // eight rows; band palettes carry the pen.
    constexpr int kRows = 1001, kMost = 2503;
    std::vector<int32_t> values(kMost);
    for (int i = 0; i < kMost; ++i) values[i] = (i * 7919) % 65536 - 32768;
    for (const int n : {400, kRows, kMost})
        for (const int live : {n, n - 13})
            for (const int palette : {2, 4}) {
                Profile ext(kRows, 2), whole(kRows, 2);
                for (Profile* p : {&ext, &whole}) {
                    p->s->display.PaletteBar.set(palette);
                    p->r.createImage();
                }
                for (int i = 0; i < live; ++i) (*ext.trace)[i] = values[i];
                for (int col = 0; col < 2; ++col) {
                    ext.r.DRAW_PROFILE(51 + col, *ext.trace, n);
                    whole.r.drawWholeColumn(51 + col, WholeWindow{values.data(), live, n}, n);
                }
                for (int x = 51; x < 53; ++x)
                    for (int y = 50; y <= 50 + kRows; ++y)
                        ASSERT_EQ(ext.at(x, y), whole.at(x, y))
                            << "samples " << n << " held " << live << " palette " << palette
                            << " at " << x << "," << y;
            }
}

TEST(ProfilePaint, ColumnsLandInTheirOwnPixelsAcrossTilesAndGaps) {
    // 41 rows (not a whole number of 16-row bands), two full tiles of 16 columns,
    // a gap that starts a tile early and a short one at the end; whole-number
    // and extended columns alternate. A palette that keeps the pen and one
    // that never does.
    constexpr int kRows = 41, kShots = 45;
    for (int palette : {2, 5}) {
        Profile p(kRows, kShots);
        p.s->display.PaletteBar.set(palette);
        p.r.createImage();
        ASSERT_EQ(p.s->ImageRows, kRows);
        uint32_t pen = 0;
        std::vector<std::vector<uint32_t>> want(kShots);
        std::vector<int32_t> whole(kRows);
        for (int col = 0; col < kShots; ++col) {
            if (col == 35) continue; // the gap
            for (int i = 0; i < kRows; ++i) {
                whole[i] = ((col * 977 + i * 131) % 4001 - 2000) * (i % 3 ? 1 : -4);
                (*p.trace)[i] = whole[i];
            }
            want[col] = referenceColumn(*p.s, *p.trace, kRows, pen);
            if (col % 2)
                p.r.drawWholeColumn(51 + col, WholeWindow{whole.data(), kRows, kRows}, kRows);
            else
                p.r.DRAW_PROFILE(51 + col, *p.trace, kRows);
        }
        for (int col = 0; col < kShots; ++col)
            for (int r = 0; r <= kRows; ++r)
                ASSERT_EQ(p.at(51 + col, 50 + r), col == 35 ? 0xFFFFFFu : want[col][r])
                    << "palette " << palette << " column " << col << " row " << r;
    }
}
