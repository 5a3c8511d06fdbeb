// The editor panels of the noise and editing modules: captions, fields, start
// texts and the row each ADD writes.
#include "core/session.h"
#include "ui/processing_form.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace tarnix;

namespace {

struct Panel {
    const char* button;
    const char* title;
    std::vector<std::pair<const char*, const char*>> fields; // label, start text
    const char* check = nullptr;
    bool resample = false;
    std::vector<const char*> columns; // p1.. after ADD
};

} // namespace

TEST(NoisePanels, EachButtonShowsItsFieldsAndAddWritesItsRow) {
    auto s = std::make_unique<Session>();
    TProcessingForm form(*s);
    form.chooseModuleFile = [](FileDialogKind) {
        return std::optional<std::string>("/data/picks/line 7.mut");
    };
    const Panel panels[] = {
        {"Button3", "Spike-Noise Filter", {{"diff (%)", "10"}}, nullptr, false, {"10"}},
        {"RNFButt", "Random Noise Filter", {{"Threshold", "20"}}, nullptr, false, {"20"}},
        {"HBFButt",
         "Horizontal Bands Filter",
         {{"% of filtering", "100"}},
         nullptr,
         false,
         {"", "100"}},
        {"Button4",
         "SWELL Filter",
         {{"Bottom File Name", "/data/picks/line 7.mut"}, {"window length (points)", "10"}},
         nullptr,
         false,
         {"/data/picks/line 7.mut", "10"}},
        {"TMIX",
         "Trace Mixing",
         {{"N. of traces", "3"}, {"Minimum weight", "25"}},
         "Weighted",
         false,
         {"3", "25", "", "FALSE"}},
        {"MuteButt",
         "Mute",
         {{"Mute File", "/data/picks/line 7.mut"}},
         nullptr,
         false,
         {"line 7.mut"}},
        {"ResamButt", "Resampling", {}, nullptr, true, {"1"}},
    };
    int ticks = 0;
    QObject::connect(&form, &TProcessingForm::RMSFlagTicked, [&] { ++ticks; });
    int row = 0;
    for (const Panel& p : panels) {
        SCOPED_TRACE(p.title);
        QPushButton* b = form.findChild<QPushButton*>(p.button);
        ASSERT_NE(b, nullptr);
        b->click();
        EXPECT_EQ(form.Editor->title(), p.title);
        for (size_t k = 0; k < 4; ++k) {
            const bool shown = k < p.fields.size();
            EXPECT_EQ(!form.EditGroups[k]->isHidden(), shown) << k;
            if (!shown) continue;
            EXPECT_EQ(form.ParamLabels[k]->text(), p.fields[k].first);
            EXPECT_EQ(form.ParamEdits[k]->text(), p.fields[k].second);
        }
        EXPECT_EQ(!form.CheckGroup->isHidden(), p.check != nullptr);
        if (p.check) {
            EXPECT_EQ(form.ParamCheck->text(), p.check);
        }
        EXPECT_EQ(!form.ResampleGroup->isHidden(), p.resample);
        form.AddButt->click();
        ++row;
        for (size_t k = 0; k < p.columns.size(); ++k)
            EXPECT_EQ(form.ProcGrid->item(row - 1, static_cast<int>(k) + 2)->text(), p.columns[k])
                << "p" << k + 1;
    }
    EXPECT_EQ(ticks, 1); // the horizontal bands need the mean trace
    // The rows with a file keep its full path in the row file list.
    EXPECT_EQ(s->rowFiles[4], "/data/picks/line 7.mut");
    EXPECT_EQ(s->rowFiles[6], "/data/picks/line 7.mut");
}
