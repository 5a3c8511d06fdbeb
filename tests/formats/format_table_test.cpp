#include "formats/format_table.h"
#include "support/sonar_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace tarnix;

TEST(FormatTable, ExtensionsDispatchUpperCasedAndSpellingsExactly) {
    EXPECT_EQ(formatOf("/data/line.sgy"), InputFormat::Segy);
    EXPECT_EQ(formatOf("/data/line.SeG"), InputFormat::Segy);
    EXPECT_EQ(formatOf("a.d02"), InputFormat::Korva20);
    EXPECT_EQ(formatOf("a.D05"), InputFormat::Korva05);
    EXPECT_EQ(formatOf("a.Txt"), InputFormat::Ascii);
    EXPECT_EQ(formatOf("a.bin"), InputFormat::Binary);
    EXPECT_EQ(formatOf("a.bmp"), InputFormat::Bitmap);
    EXPECT_EQ(formatOf("a.xtf"), InputFormat::Xtf);
    EXPECT_EQ(formatOf("a.sg2"), InputFormat::Seg2);
    EXPECT_EQ(formatOf("a.Seg2"), InputFormat::Seg2);
    // ".DAT" is SEG-2 only when the file starts with the SEG-2 block identifier.
    EXPECT_EQ(formatOf("a.dat"), InputFormat::None);
    EXPECT_EQ(formatOf("a.SegY"), InputFormat::Segy);
    EXPECT_EQ(formatOf("a.sg"), InputFormat::None);
    // A dot in a directory is not an extension.
    EXPECT_EQ(formatOf("/data.sgy/line"), InputFormat::None);
    EXPECT_EQ(upperExtension("/data.sgy/line"), "");
    EXPECT_EQ(upperExtension("line.d02"), ".D02");

    EXPECT_TRUE(spelledAs("x.txt", InputFormat::Ascii));
    EXPECT_TRUE(spelledAs("x.TXT", InputFormat::Ascii));
    EXPECT_FALSE(spelledAs("x.Txt", InputFormat::Ascii));
    EXPECT_TRUE(spelledAs("x.SEG", InputFormat::Segy));
    EXPECT_FALSE(spelledAs("x.sgy", InputFormat::Segy));
    EXPECT_TRUE(spelledAs("x.seg2", InputFormat::Seg2));
    EXPECT_FALSE(spelledAs("x.seg2", InputFormat::Segy));
    EXPECT_FALSE(spelledAs("txt", InputFormat::Ascii));
}

TEST(FormatTable, DialogFiltersAndOneRowPerFormat) {
    EXPECT_EQ(openDialogFilters(),
              "SEG-Y (*.seg *.sgy *.segy);;Tarnix 2.0 (*.D02 *.d02);;Tarnix 0.5 (*.D05 *.d05);;"
              "Ascii File (*.TXT *.txt);;BMP (*.bmp);;Binary Files (*.bin);;"
              "SEG-2 (*.dat *.DAT *.sg2 *.SG2 *.seg2 *.SEG2);;XTF (*.xtf *.XTF);;Any File (*)");
    std::set<std::string> extensions;
    std::set<InputFormat> formats;
    for (const FormatEntry& f : formatTable()) {
        EXPECT_TRUE(formats.insert(f.format).second);
        for (const char* e : f.extensions)
            if (e) {
                EXPECT_TRUE(extensions.insert(e).second) << e;
                EXPECT_EQ(upperExtension(std::string("x") + e), e); // stored upper-cased
            }
        // A format with an options window opens from its OK; the binary
        // dialog keeps its values from one file to the next.
        if (f.options != OptionsWindow::None && f.open && f.format != InputFormat::Binary) {
            EXPECT_NE(f.prepare, nullptr) << f.name;
        }
    }
    EXPECT_TRUE(formatReadable(InputFormat::Segy));
    EXPECT_TRUE(formatReadable(InputFormat::Xtf));
    EXPECT_TRUE(formatReadable(InputFormat::Seg2));
    EXPECT_TRUE(formatReadable(InputFormat::Ascii));
    EXPECT_TRUE(formatReadable(InputFormat::Binary));
    EXPECT_TRUE(formatReadable(InputFormat::Bitmap));
    EXPECT_FALSE(formatReadable(InputFormat::None));
}

TEST(FormatTable, DatFilesAreSeg2ByTheirFirstBytes) {
    tarnix::test::TempDir dir;
    tarnix::test::writeBytes(dir.file("shot.DAT"),
                             tarnix::test::seg2File({{1, {1, 2}, {}, {}, 0}}));
    tarnix::test::writeBytes(dir.file("big.dat"),
                             tarnix::test::seg2File({{1, {1, 2}, {}, {}, 0}}, true));
    tarnix::test::writeBytes(dir.file("table.dat"), {'1', ' ', '2', '\n'});
    EXPECT_EQ(formatOf(dir.file("shot.DAT")), InputFormat::Seg2);
    EXPECT_EQ(formatOf(dir.file("big.dat")), InputFormat::Seg2);
    EXPECT_EQ(formatOf(dir.file("table.dat")), InputFormat::None);
}
