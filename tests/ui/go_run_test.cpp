// GO in the window: the demo start, a failing sequence, and the running state left.
#include "core/session.h"
#include "ui/tarnix_form.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QtGlobal>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

#include <memory>

using namespace tarnix;

namespace {

struct GoRun : ::testing::Test {
    test::TempDir cache;
    std::unique_ptr<Session> s = std::make_unique<Session>();
    std::unique_ptr<TTarnixForm> form;
    GoRun() {
        // The demo line is written into this test's own cache directory.
        qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(cache.path().string()));
        form = std::make_unique<TTarnixForm>(*s);
    }
    ~GoRun() override { qunsetenv("XDG_CACHE_HOME"); }
};

} // namespace

TEST_F(GoRun, DemoOpensConfirmsAndPaintsTheWholeLine) {
    form->startDemo();
    EXPECT_EQ(s->Memo2.back(), "Normal Completion");
    EXPECT_EQ(s->Memo2[3], "Read 1200 Traces");
    // Every shot painted: (1200 + 100) x (601 + 100), shown on the Profile page.
    EXPECT_EQ(form->profileImage.size(), QSize(1300, 701));
    EXPECT_EQ(form->PageControl1->currentIndex(), TTarnixForm::ProfilePage);
    EXPECT_FALSE(form->Display->pixmap().isNull());
    // The running state is left: progress hidden, mapping box back, GO enabled.
    EXPECT_FALSE(form->ProgressBar1->isVisibleTo(form.get()));
    EXPECT_TRUE(form->TwoDCheck->isVisibleTo(form.get()));
    EXPECT_TRUE(form->Playbutt->isEnabled());
}

TEST_F(GoRun, AFailingRowEndsTheRunAndShowsTheMemo) {
    form->startDemo();
    s->sequence.cell(1, 1) = "AGCM";
    s->sequence.cell(1, 2) = "wide";
    form->PlayButtClick();
    EXPECT_EQ(s->Memo2.back(),
              "Run stopped at shot 0: row 1 (AGCM): 'wide' is not a valid integer value");
    EXPECT_EQ(form->PageControl1->currentIndex(), TTarnixForm::MemoPage);
    EXPECT_FALSE(form->ProgressBar1->isVisibleTo(form.get()));
    EXPECT_TRUE(form->Playbutt->isEnabled());
    // GO works again once the row is mended.
    s->sequence.cell(1, 2) = "200";
    form->PlayButtClick();
    EXPECT_EQ(s->Memo2.back(), "Normal Completion");
}

TEST_F(GoRun, AFullDiskEndsTheRunNamingTheFileAndLeavesTheRunningState) {
    form->startDemo();
    s->sequence.clearAll();
    s->sequence.cell(1, 0) = "1";
    s->sequence.cell(1, 1) = "WSEG";
    s->sequence.cell(1, 2) = "/dev/full";
    s->sequence.cell(1, 3) = "BE";
    s->sequence.cell(1, 4) = "2";
    form->PlayButtClick();
    EXPECT_NE(s->Memo2.back().find("/dev/full"), std::string::npos) << s->Memo2.back();
    EXPECT_FALSE(s->OutputSegyOpen);
    EXPECT_EQ(form->PageControl1->currentIndex(), TTarnixForm::MemoPage);
    EXPECT_FALSE(form->ProgressBar1->isVisibleTo(form.get()));
    EXPECT_TRUE(form->Playbutt->isEnabled());
}
