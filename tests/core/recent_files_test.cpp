#include "core/recent_files.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tarnix;

TEST(RecentFiles, NewestFirstNoDuplicatesAtMostEight) {
    std::vector<RecentFile> list;
    for (int i = 1; i <= 10; ++i) addRecentFile(list, {"/d/line" + std::to_string(i) + ".sgy", ""});
    ASSERT_EQ(list.size(), 8u);
    EXPECT_EQ(list.front().path, "/d/line10.sgy");
    EXPECT_EQ(list.back().path, "/d/line3.sgy"); // 1 and 2 dropped off
    // Reopening an older one moves it to the top with its new options, once.
    addRecentFile(list, {"/d/line5.sgy", "order=0"});
    ASSERT_EQ(list.size(), 8u);
    EXPECT_EQ(list[0].path, "/d/line5.sgy");
    EXPECT_EQ(list[0].segyOptions, "order=0");
    EXPECT_EQ(std::count_if(list.begin(), list.end(),
                            [](const RecentFile& r) { return r.path == "/d/line5.sgy"; }),
              1);
    EXPECT_EQ(list[1].path, "/d/line10.sgy");
}

TEST(RecentFiles, SegyOptionsRoundTripAndBadWordsAreIgnored) {
    SegyOptions o;
    o.SEGYRadio = SegyOptions::LittleEndian;
    o.NumofChanRadio = 23; // 24 channels, the last item
    o.HeadType = SegyOptions::Ascii;
    o.dataFormatCode = 5;
    o.S_REdit = "125";
    o.ChangeBox = true;
    o.XEditscaler = "0.01";
    o.YEditScaler = "-100";
    o.Z_scaler = SegyOptions::Multiping;
    const std::string text = segyOptionsText(o);
    EXPECT_EQ(text, "order=0 channels=24 text=0 format=5 interval=125 change=1 xscale=0.01 "
                    "yscale=-100 delay=1");
    SegyOptions back;
    applySegyOptionsText(text, back);
    EXPECT_EQ(segyOptionsText(back), text);

    // Out-of-range values and unknown keys leave the options as they were.
    SegyOptions kept;
    applySegyOptionsText("order=7 channels=25 format=4 text=x colour=red delay", kept);
    EXPECT_EQ(segyOptionsText(kept), segyOptionsText(SegyOptions{}));
}
