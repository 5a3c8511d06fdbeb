// A notebook's picks drawn back onto the painted profile.
#include "core/error.h"
#include "core/session.h"
#include "display/notebook_drawing.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tarnix;

namespace {

// The window's worked example: 300 x 499 picture of shots 1..101, Rep 2, 0-100 ms
// on 399 rows.
struct PaintedProfile : ::testing::Test {
    std::unique_ptr<Session> s = std::make_unique<Session>();
    QImage picture{300, 499, QImage::Format_RGB32};
    ImageCanvas canvas{&picture};
    PaintedProfile() {
        s->shots.StartShot.set(1);
        s->shots.EndShot.set(101);
        s->display.Rep.set(2);
        s->StartSweep.set(0);
        s->EndSweep.set(100);
        s->ImageRows = 399;
        s->ImageColumns = 200;
        picture.fill(Qt::white);
    }
    bool inked(int x, int y) const { return (picture.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF; }
};

} // namespace

TEST_F(PaintedProfile, PicksRedrawThroughTheirPixels) {
    applyPickPen(canvas, parsePickPen("red"));
    EXPECT_EQ(drawNotebookPicks(canvas, *s, "51 24.812030\n100 100.000000\n", NotebookKind::Mute),
              2);
    // Both ends of the horizon, the last one included although lines stop short.
    EXPECT_EQ(picture.pixel(150, 149) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(picture.pixel(248, 449) & 0xFFFFFF, 0xFF0000u);
    EXPECT_FALSE(inked(150, 148));
    // Nothing runs in from the left edge to the first pick.
    EXPECT_FALSE(inked(51, 148));
    EXPECT_FALSE(inked(100, 149));
}

TEST_F(PaintedProfile, NothingIsDrawnBeforeAnyRunOrOnAnEmptyWindow) {
    const std::string text = "51 24.812030\n100 100.000000\n";
    s->ImageRows = 0;
    EXPECT_EQ(drawNotebookPicks(canvas, *s, text, NotebookKind::Mute), 0);
    s->ImageRows = 399;
    s->EndSweep.set(0);
    EXPECT_EQ(drawNotebookPicks(canvas, *s, text, NotebookKind::Mute), 0);
    s->EndSweep.set(100);
    EXPECT_EQ(drawNotebookPicks(canvas, *s, text, NotebookKind::Plain), 0);
    QImage none;
    ImageCanvas empty(&none);
    EXPECT_EQ(drawNotebookPicks(empty, *s, text, NotebookKind::Mute), 0);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) ASSERT_FALSE(inked(x, y)) << x << "," << y;
}

TEST(PickPen, TextsOfThePenMenuAndTheirRefusals) {
    PickPen p = parsePickPen("#00ff00,4,dashdotdot");
    EXPECT_EQ(p.colour, QColor(0, 255, 0));
    EXPECT_EQ(p.width, 4);
    EXPECT_EQ(p.style, ImageCanvas::DashDotDot);
    p = parsePickPen("blue,1,DOT");
    EXPECT_EQ(p.style, ImageCanvas::Dot);
    EXPECT_THROW(parsePickPen("nocolour"), ConversionError);
    EXPECT_THROW(parsePickPen("red,0"), ConversionError);
    EXPECT_THROW(parsePickPen("red,6"), ConversionError);
    EXPECT_THROW(parsePickPen("red,2,wavy"), ConversionError);
    EXPECT_THROW(parsePickPen("red,2,dash,x"), ConversionError);
}
