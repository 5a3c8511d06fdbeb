#include "core/byte_order.h"
#include "formats/demo_line.h"
#include "support/temp_dir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <vector>

using namespace tarnix;

namespace {
std::vector<unsigned char> slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
} // namespace

TEST(DemoLine, HeadersSitAtTheirByteOffsetsAndTheLineIsRepeatable) {
    test::TempDir dir;
    DemoLineOptions opt;
    opt.shots = 30;
    opt.samples = 400;
    opt.intervalUs = 125;
    opt.delayMs = 12;
    writeDemoLine(dir.file("a.sgy"), opt);
    writeDemoLine(dir.file("b.sgy"), opt);
    auto a = slurp(dir.file("a.sgy"));
    ASSERT_EQ(a.size(), 3600u + 30u * (240u + 800u));
    EXPECT_EQ(a, slurp(dir.file("b.sgy")));
    EXPECT_EQ(a[0], 'C'); // ASCII textual header
    EXPECT_EQ(getI16BE(&a[3200 + 20]), 400);
    EXPECT_EQ(getI16BE(&a[3200 + 16]), 125);
    const unsigned char* t3 = &a[3600 + 2 * 1040]; // third trace
    EXPECT_EQ(getI32BE(t3 + 8), 3);                // field record number
    EXPECT_EQ(getI16BE(t3 + 70), -100);            // coordinate scaler
    EXPECT_EQ(getI16BE(t3 + 88), 2);               // seconds of arc
    EXPECT_EQ(getI16BE(t3 + 108), 12);             // delay
    EXPECT_EQ(getI16BE(t3 + 114), 400);
    EXPECT_EQ(getI16BE(t3 + 116), 125);
    EXPECT_NEAR(getI32BE(t3 + 76) / 100.0 / 3600.0, 59.85, 0.01);
    EXPECT_NEAR(getI32BE(t3 + 72) / 100.0 / 3600.0, 24.50, 0.01);
    // The sea floor (about 55 ms) stands out of the water column above it.
    int peakAt = 0, peak = 0;
    for (int i = 0; i < 400; ++i) {
        int v = std::abs(getI16BE(t3 + 240 + 2 * i));
        if (v > peak) peak = v, peakAt = i;
    }
    double peakMs = 12 + peakAt * 0.125;
    EXPECT_GT(peak, 5000);
    EXPECT_GT(peakMs, 40);
    EXPECT_LT(peakMs, 70);
}

#include "formats/trace_text.h"

#include <sstream>

TEST(TraceText, SaveAsciiLayoutStartsAtOneSampleInterval) {
    auto t = std::make_unique<TraceBuffer>();
    (*t)[0] = 1200;
    (*t)[1] = -3.5L;
    std::ostringstream out;
    writeTraceAscii(out, *t, 2, 8);
    EXPECT_EQ(out.str(), "0.12500000 1200.00000000\n0.25000000 -3.50000000\n");
    std::ostringstream none;
    writeTraceAscii(none, *t, -4, 8);
    EXPECT_EQ(none.str(), "");
}
