// Opening XTF pings and SEG-2 gathers through the main window: no options
// window, GO at once, the Bitmaps page names the file.
#include "core/session.h"
#include "support/sonar_fixture.h"
#include "support/temp_dir.h"
#include "ui/segy_select_form.h"
#include "ui/tarnix_form.h"
#include "ui/windows.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

using namespace tarnix;
using namespace tarnix::test;

namespace {
struct SonarWindows : ::testing::Test {
    std::unique_ptr<Session> s = std::make_unique<Session>();
    Windows w = createWindows(*s);
    TempDir dir;
    ~SonarWindows() override { delete w.TarnixForm; }
};
} // namespace

TEST_F(SonarWindows, XtfAndSeg2OpenWithGoEnabledAtOnce) {
    const std::vector<SynthXtfChannel> ch = {{2, 2, false, 0}};
    SynthPing p;
    p.samples = {std::vector<double>(16, 7.0)};
    Bytes xtf = xtfFileHeader(ch);
    append(xtf, xtfPing(p, ch));
    append(xtf, xtfPing(p, ch));
    writeBytes(dir.file("a.xtf"), xtf);
    writeBytes(dir.file("g.DAT"), seg2File({{1, {1, 2, 3}, {}, {}, 0}}));
    writeBytes(dir.file("t.dat"), Bytes(64, 'x'));

    for (const char* name : {"a.xtf", "g.DAT"}) {
        SCOPED_TRACE(name);
        const std::string path = dir.file(name);
        w.TarnixForm->openDataFile(QString::fromStdString(path));
        EXPECT_FALSE(w.SEGYSelectForm->isVisible());
        EXPECT_TRUE(s->InputOpen);
        EXPECT_TRUE(w.TarnixForm->Playbutt->isEnabled());
        EXPECT_EQ(w.TarnixForm->GroupBox9->title().toStdString(), "File: " + path);
        EXPECT_EQ(w.TarnixForm->Edit4->text().toStdString(), "Input File:" + path + " open");
    }
    EXPECT_EQ(s->NumTraces, 1);

    // A .DAT file that is not SEG-2 opens nothing, and says so.
    w.TarnixForm->openDataFile(QString::fromStdString(dir.file("t.dat")));
    EXPECT_FALSE(s->InputOpen);
    EXPECT_FALSE(w.TarnixForm->Playbutt->isEnabled());
    EXPECT_EQ(w.TarnixForm->Edit4->text().toStdString(),
              "No reader for \".DAT\" files: nothing was opened");
}
