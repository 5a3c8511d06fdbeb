#include "core/session.h"
#include "support/temp_dir.h"
#include "ui/tarnix_form.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

using namespace tarnix;

namespace {

// A one-channel input whose shot k is a decaying wave of k cycles.
class WaveInput : public InputFile {
public:
    void rewind(Session&) override {}
    void readRunTrace(Session& s, int shot) override { readSingleTrace(s, shot); }
    bool readSingleTrace(Session& s, int shot) override {
        lastShot = shot;
        ++reads;
        s.current.fill(0);
        for (int i = 0; i < 1000; ++i)
            s.current[i] = 12000 * std::exp(-i / 300.0L) * std::sin(i * shot * 0.05L);
        return true;
    }
    int lastShot = 0, reads = 0;
};

struct Page : ::testing::Test {
    std::unique_ptr<Session> s = std::make_unique<Session>();
    std::unique_ptr<TTarnixForm> form;
    WaveInput* in = nullptr;
    Page() {
        form = std::make_unique<TTarnixForm>(*s);
        auto input = std::make_unique<WaveInput>();
        in = input.get();
        s->input = std::move(input);
        s->InputOpen = true;
        s->InputFileName = "/data/wave.sgy";
        s->SampleRate = 4;
        s->StartSweep.set(0);
        s->EndSweep.set(250);
        form->resize(1200, 900);
        form->PageControl1->setCurrentIndex(TTarnixForm::AnalysisPage);
    }
};

} // namespace

TEST_F(Page, AHiddenPhaseGroupIsSkippedOnRefresh) {
    form->CheckBox2->click();
    form->CheckBox3->click();
    form->CheckBox4->click();
    form->show();
    form->Sel_ana_spin->setValue(7);
    form->REFRESH_INSTRUMENTS_OR_SEGYHEADER();
    EXPECT_EQ(in->lastShot, 7);
    EXPECT_EQ(in->reads, 1); // one read serves every instrument
    EXPECT_EQ(s->NumSamples, 1000);
    EXPECT_FALSE(form->AImage->pixmap().isNull());
    EXPECT_EQ(form->AImage->pixmap().height(), 130);
    EXPECT_FALSE(form->Phimage->pixmap().isNull());

    form->CheckBox3->click(); // unchecked: the group goes, and its drawing with it
    EXPECT_FALSE(form->GroupBox4->isVisible());
    form->Phimage->setPixmap(QPixmap());
    form->REFRESH_INSTRUMENTS_OR_SEGYHEADER();
    EXPECT_TRUE(form->Phimage->pixmap().isNull());
    EXPECT_FALSE(form->Simage->pixmap().isNull());
    EXPECT_FALSE(form->AutoImage->pixmap().isNull());
}

TEST_F(Page, SaveAsciiWritesTheTraceOfTheLastRefresh) {
    form->REFRESH_INSTRUMENTS_OR_SEGYHEADER();
    test::TempDir dir;
    s->SampleRate = 8;
    form->chooseAsciiFile = [&] { return QString::fromStdString(dir.file("shot.txt")); };
    form->SpeedButton2->click();
    const std::string text = test::readTextFile(dir.file("shot.txt"));
    EXPECT_EQ(text.substr(0, 11), "0.12500000 ");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1000);

    form->chooseAsciiFile = [] { return QString(); }; // cancelled: nothing written
    std::filesystem::remove(dir.file("shot.txt"));
    form->SpeedButton2->click();
    EXPECT_FALSE(std::filesystem::exists(dir.file("shot.txt")));
}
