// tarnix-run --instruments: the Analysis page's four images written as files.
#include "support/run_tool.h"
#include "support/segy_fixture.h"
#include "support/temp_dir.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

using tarnix::test::SynthSegy;
using tarnix::test::TempDir;

namespace {

int runTool(const TempDir& dir, const std::string& args, std::string* err = nullptr) {
    const auto r = tarnix::test::runTarnixRun(dir, args);
    if (err) *err = r.err;
    return r.status;
}

} // namespace

TEST(TarnixRunInstruments, WritesFourImagesOfTheShot) {
    TempDir dir;
    SynthSegy f;
    f.binaryNs = 64;
    f.binaryInterval = 250; // 4 samples per ms
    for (int t = 0; t < 3; ++t) f.addTrace(7 + t, 64, 250);
    const std::string line = dir.file("line.sgy");
    f.write(line);

    const std::string out = dir.file("images/sub");
    ASSERT_EQ(runTool(dir, "--window 0:16 --instruments 1 " + out + " " + line), 0);
    for (const char* name :
         {"oscilloscope", "amplitude_spectrum", "phase_spectrum", "autocorrelogram"}) {
        const std::string path = out + "/shot1_" + name + ".png";
        QImage img(QString::fromStdString(path));
        ASSERT_FALSE(img.isNull()) << path;
        EXPECT_EQ(img.size(), QSize(600, 130)) << name;
        EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 0)) << name; // the frame
        int drawn = 0;
        for (int x = 1; x < 599; ++x)
            for (int y = 1; y < 129; ++y) drawn += img.pixel(x, y) != qRgb(255, 255, 255);
        EXPECT_GT(drawn, 0) << name;
    }
    // Shot 1 of the ramp 300..363 stays above the middle line.
    QImage osc(QString::fromStdString(out + "/shot1_oscilloscope.png"));
    EXPECT_NE(osc.pixel(300, 64), qRgb(255, 255, 255));
    EXPECT_EQ(osc.pixel(300, 66), qRgb(255, 255, 255));

    std::string err;
    EXPECT_EQ(runTool(dir, "--instruments 9 " + out + " " + line, &err), 1);
    EXPECT_NE(err.find("tarnix-run:"), std::string::npos);
    EXPECT_EQ(runTool(dir, line + " --instruments 1", &err), 2);
    EXPECT_NE(err.find("--instruments needs SHOT and DIR"), std::string::npos);
}
