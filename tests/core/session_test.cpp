#include "core/error.h"
#include "core/session.h"

#include <gtest/gtest.h>

using namespace tarnix;

namespace {
void fillRaw(Session& s) {
    for (int k = 0; k < kTraceSlots; ++k) s.raw[k] = k;
}
} // namespace

TEST(WindowCopy, WindowLongerThanHeadroomFillsOnlyReadSlots) {
    auto s = std::make_unique<Session>();
    fillRaw(*s);
    s->current.fill(-1);
    s->SampleRate = 20;
    s->StartSweep.set(0);
    s->EndSweep.set(1000);
    windowCopy(*s);
    EXPECT_EQ(s->NumSamples, 20000);
    EXPECT_EQ(s->current[0], 0);
    EXPECT_EQ(s->current[16383], 16383);
    EXPECT_EQ(s->current[16384], -1); // above the read slots nothing is copied
}

TEST(WindowCopy, StartShiftsAndBeyondHeadroomLeavesTraceAlone) {
    auto s = std::make_unique<Session>();
    fillRaw(*s);
    s->current.fill(-1);
    s->SampleRate = 8;
    s->StartSweep.set(10);
    s->EndSweep.set(20);
    windowCopy(*s);
    EXPECT_EQ(s->NumSamples, 80);
    EXPECT_EQ(s->current[0], 80);
    EXPECT_EQ(s->current[16383 - 80], 16383);
    EXPECT_EQ(s->current[16383 - 79], -1);

    s->current.fill(-1);
    s->StartSweep.set(2048); // first = 16384 > 16383
    s->EndSweep.set(3000);
    windowCopy(*s);
    EXPECT_EQ(s->current[0], -1);
}

TEST(WindowCopy, DelayTextAndNegativeWindow) {
    EXPECT_EQ(delayText(12.5), "DELAY =12.5");
    EXPECT_EQ(delayText(0), "DELAY =0.0");
    EXPECT_EQ(delayText(1234.56), "DELAY =1234.6");
    auto s = std::make_unique<Session>();
    s->SampleRate = 4;
    s->StartSweep.set(50);
    s->EndSweep.set(40);
    s->header.Delay = 7.25;
    windowCopy(*s);
    EXPECT_EQ(s->NumSamples, -40);
    EXPECT_EQ(s->Edit2, "DELAY =7.2");
}

TEST(Session, ShotTablesRefuseShotsPast40000) {
    auto s = std::make_unique<Session>();
    EXPECT_EQ(s->navText.size(), 40001u);
    EXPECT_NO_THROW(Session::checkShotIndex(40000));
    EXPECT_THROW(Session::checkShotIndex(40001), IoError);
    EXPECT_THROW(Session::checkShotIndex(-1), IoError);
}

TEST(SequenceTable, RowCountStopsAtFirstEmptyModule) {
    SequenceTable t;
    EXPECT_EQ(t.cell(0, 1), "Module");
    EXPECT_EQ(t.rowCount(), 0);
    for (int r = 1; r <= 4; ++r) t.cell(r, 1) = "DBAS";
    EXPECT_EQ(t.rowCount(), 4);
    t.cell(2, 1).clear();
    EXPECT_EQ(t.rowCount(), 1);
    t.cell(3, 7) = "keep";
    t.clearAll();
    EXPECT_EQ(t.cell(4, 1), "");
    EXPECT_EQ(t.cell(3, 7), "keep");
    EXPECT_EQ(t.cell(0, 0), "#");
}
