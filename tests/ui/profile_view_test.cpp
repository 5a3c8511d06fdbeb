#include "core/session.h"
#include "ui/profile_view.h"
#include "ui/tarnix_form.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollArea>
#include <QTabWidget>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <memory>

using namespace tarnix;

namespace {
// A run of 100 shots (1..101) at two columns each into 399 rows, painted through the
// window's run hooks.
struct ProfileForm : ::testing::Test {
    std::unique_ptr<Session> s = std::make_unique<Session>();
    std::unique_ptr<TTarnixForm> form = std::make_unique<TTarnixForm>(*s);
    std::unique_ptr<TraceBuffer> trace = std::make_unique<TraceBuffer>();

    ProfileForm() {
        s->goEnabled = true;
        s->shots.StartShot.set(1);
        s->shots.EndShot.set(101);
        s->NumTraces = 100;
        s->display.Rep.set(2);
        s->display.NVP.set(400);
        s->display.SoundSpeedEdit.set(1500);
        s->EndSweep.set(100);
        s->SampleRate = 4;
        s->NumSamples = 400;
        trace->fill(0);
        for (int k = 200; k < 400; ++k) (*trace)[k] = 16384; // black below 50 ms
        RunHooks& hooks = form->profileView().hooks();
        hooks.createImage();
        for (int i = 1; i <= 100; ++i)
            for (int rep = 0; rep < 2; ++rep)
                hooks.paintColumn(50 + (i - 1) * 2 + 1 + rep, *trace, 400);
        hooks.runEnd();
    }
};
} // namespace

TEST_F(ProfileForm, RunEndShowsTheAnnotatedPictureAndTheReadout) {
    EXPECT_EQ(form->PageControl1->currentIndex(), TTarnixForm::ProfilePage);
    ASSERT_EQ(form->profileImage.size(), QSize(300, 499));
    EXPECT_EQ(form->Display->size(), QSize(300, 499));
    form->DisplayMouseMove(150, 449);
    EXPECT_EQ(form->statusPanel(1), "Image: (150, 449)");
    EXPECT_EQ(form->statusPanel(2),
              "Shot :51   TWT  :100.000000 msec   Depth:75.000000 m  Sam:400   Amp:255");
    form->DisplayMouseMove(150, 100); // above the step: white
    EXPECT_TRUE(form->statusPanel(2).endsWith("Amp:0"));
}

TEST_F(ProfileForm, InteractiveMappingPickAndThicknessDrag) {
    s->shotPosition[51] = {24.25, 60.5};
    form->penColor = QColor(255, 0, 0);
    form->TwoDCheck->setChecked(true);
    form->DisplayMouseMove(150, 100);
    form->DisplayMouseDown(Qt::LeftButton, Qt::ShiftModifier, 150, 100);
    EXPECT_EQ(s->cursor.PickCount, 1);
    EXPECT_EQ(form->Edit4->text(), "24.25000000 60.50000000 I.M.");
    EXPECT_EQ(form->profileImage.pixel(147, 100) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(form->profileImage.pixel(150, 97) & 0xFFFFFF, 0xFF0000u);
    // Outside the data area nothing is picked.
    form->DisplayMouseDown(Qt::MiddleButton, Qt::NoModifier, 20, 100);
    EXPECT_EQ(s->cursor.PickCount, 1);

    // A plain drag without the notebook measures thickness from the press point.
    form->DisplayMouseMove(150, 50); // 0 ms, depth 0
    form->DisplayMouseDown(Qt::LeftButton, Qt::NoModifier, 150, 50);
    form->DisplayStartDrag();
    EXPECT_EQ(s->cursor.DragStartY, 50);
    form->DisplayDragOver(150, 449);
    EXPECT_EQ(form->statusPanel(0), "Thick. :75.000 m");
}

TEST_F(ProfileForm, ZoomStepsOfTheBitmapsPage) {
    form->bitmapImage = form->profileImage.copy();
    for (int i = 0; i < 3; ++i) form->SpeedButton5Click();
    EXPECT_EQ(form->Label2->text(), "0.70");
    EXPECT_EQ(form->bitmapImage.size(), QSize(210, 349)); // 300 * 0.7, 499 * 0.7
    form->SpeedButton11Click();
    EXPECT_EQ(form->Label2->text(), "1.00");
    EXPECT_EQ(form->bitmapImage.size(), QSize(300, 499));
}

namespace {
void moveOver(QWidget* w, QPointF p) {
    QMouseEvent move(QEvent::MouseMove, p, w->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}
} // namespace

TEST_F(ProfileForm, ReadoutStaysRightAtEveryZoomAndTheSavedPictureDoesNot) {
    const QImage before = form->profileImage;
    form->setViewZoom(2.0);
    EXPECT_EQ(form->Display->size(), QSize(600, 998));
    moveOver(form->Display, QPointF(301, 899)); // inside the square of pixel (150, 449)
    EXPECT_EQ(form->statusPanel(1), "Image: (150, 449)");
    EXPECT_EQ(form->statusPanel(2),
              "Shot :51   TWT  :100.000000 msec   Depth:75.000000 m  Sam:400   Amp:255");

    form->setViewZoom(0.5);
    EXPECT_EQ(form->Display->size(), QSize(150, 250));
    moveOver(form->Display, QPointF(75, 50)); // pixel (150, 100): above the step
    EXPECT_EQ(form->statusPanel(1), "Image: (150, 100)");
    EXPECT_TRUE(form->statusPanel(2).startsWith("Shot :51   TWT  :12.531328 msec"));
    EXPECT_TRUE(form->statusPanel(2).endsWith("Amp:0"));

    // Zoom is a view: the picture Save Image writes keeps its size and pixels.
    EXPECT_EQ(form->profileImage, before);
    form->ActualSize1Click();
    EXPECT_EQ(form->Display->size(), QSize(300, 499));
}

TEST_F(ProfileForm, FitToWindowAndCtrlWheelZoom) {
    form->resize(900, 700);
    form->show();
    form->FitToWindow1Click();
    const QSize port = form->ScrollBox1->maximumViewportSize();
    EXPECT_LE(form->Display->width(), port.width());
    EXPECT_LE(form->Display->height(), port.height());
    EXPECT_TRUE(form->Display->width() == port.width() ||
                form->Display->height() == port.height() ||
                std::abs(form->Display->height() - port.height()) <= 1);
    EXPECT_EQ(form->FitToWindow1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_0));
    EXPECT_EQ(form->ActualSize1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_1));

    form->ActualSize1Click();
    const QPointF at(40, 40);
    QWheelEvent ctrlWheel(at, form->ScrollBox1->viewport()->mapToGlobal(at), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase,
                          false);
    QApplication::sendEvent(form->ScrollBox1->viewport(), &ctrlWheel);
    EXPECT_DOUBLE_EQ(form->viewZoom(), 1.25);
    // The plain wheel still scrolls and leaves the zoom alone.
    QWheelEvent wheel(at, form->ScrollBox1->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form->ScrollBox1->viewport(), &wheel);
    EXPECT_DOUBLE_EQ(form->viewZoom(), 1.25);
    form->hide();
}
