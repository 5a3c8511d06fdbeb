#include "ui/display_controls_form.h"
#include "ui/tarnix_form.h"
#include "ui/windows.h"
#include <QPushButton>

#include "core/session.h"
#include "ui/controls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarnix {

namespace {

QSlider* trackBar(QWidget* parent, const char* name, Qt::Orientation o, const RangedInt& r,
                  const QString& hint = {}) {
    auto* s = new QSlider(o, parent);
    s->setObjectName(name);
    s->setRange(r.min(), r.max());
    s->setValue(r());
    s->setPageStep(1);
    s->setTickPosition(o == Qt::Vertical ? QSlider::TicksRight : QSlider::TicksBelow);
    s->setTickInterval(1);
    s->setToolTip(hint);
    return s;
}

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

// Small pictures beside the track bars: a gray wedge, a gain ramp, an empty frame.
QPixmap picture(int kind) {
    QPixmap p(16, 100);
    p.fill(Qt::white);
    QPainter g(&p);
    if (kind == 0) {
        QLinearGradient grad(0, 0, 0, 100);
        grad.setColorAt(0, Qt::white);
        grad.setColorAt(1, Qt::black);
        g.fillRect(p.rect(), grad);
    } else if (kind == 1) {
        g.setBrush(Qt::darkGray);
        g.setPen(Qt::NoPen);
        g.drawPolygon(QPolygon({QPoint(0, 0), QPoint(15, 0), QPoint(0, 99)}));
    }
    g.setPen(Qt::black);
    g.drawRect(0, 0, 15, 99);
    return p;
}

void setSlider(QSlider* s, int v) {
    if (s->value() != v) s->setValue(v);
}
void setSpin(QSpinBox* s, int v) {
    if (s->value() != v) s->setValue(v);
}

} // namespace

TDisplayControlsForm::TDisplayControlsForm(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName("DisplayControlsForm");
    setWindowTitle("Display");
    DisplaySettings& d = session_.display;
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(4, 4, 4, 0);

    GroupBox1 = new QGroupBox("Screen", this);
    GroupBox1->setObjectName("GroupBox1");
    auto* screen = new QHBoxLayout(GroupBox1);
    PaletteBar = trackBar(GroupBox1, "PaletteBar", Qt::Vertical, d.PaletteBar, "Color Palette");
    PaletteBar->setTickPosition(QSlider::TicksBothSides);
    Gain = trackBar(GroupBox1, "Gain", Qt::Vertical, d.Gain, "Display Gain");
    TrackBar3 = trackBar(GroupBox1, "TrackBar3", Qt::Vertical, d.TrackBar3);
    TrackBar3->setTickInterval(10);
    TrackBar3->setEnabled(false);
    QLabel** pics[] = {&Image1, &Image2, &Image3};
    QSlider* bars[] = {PaletteBar, Gain, TrackBar3};
    const char* picNames[] = {"Image1", "Image2", "Image3"};
    for (int i = 0; i < 3; ++i) {
        bars[i]->setFixedHeight(100);
        screen->addWidget(bars[i]);
        auto* pic = new QLabel(GroupBox1);
        pic->setObjectName(picNames[i]);
        pic->setPixmap(picture(i));
        *pics[i] = pic;
        screen->addWidget(pic);
    }
    // Auto: gain (and clip) from the selected shots; it takes effect at the next GO.
    AutoGainButt = new QPushButton("Auto", GroupBox1);
    AutoGainButt->setObjectName("AutoGainButt");
    AutoGainButt->setToolTip("Set the gain so that the 98th percentile of |amplitude| of the "
                             "selected shots paints at full colour");
    screen->addWidget(AutoGainButt, 0, Qt::AlignBottom);
    connect(AutoGainButt, &QPushButton::clicked, this, [this] {
        if (TTarnixForm* main = windowsOf(this).TarnixForm) main->AutoGainClick();
    });
    v->addWidget(GroupBox1);

    auto* grid = new QGridLayout;
    int row = 0;
    DragWidth = rangedSpin(this, "DragWidth", d.DragWidth, 1, "Bottom Tracking window (pt.)");
    grid->addWidget(label(this, "Label1", "BT win"), row, 0);
    grid->addWidget(DragWidth, row++, 1);
    NVP = rangedSpin(this, "NVP", d.NVP, 10, "Vertical Size (pixels)");
    grid->addWidget(label(this, "Label2", "Vsize (pix)"), row, 0);
    grid->addWidget(NVP, row++, 1);

    auto* zoom = new QHBoxLayout;
    auto makeZoom = [this, zoom](QToolButton*& b, const char* name, const QString& text) {
        b = new QToolButton(this);
        b->setObjectName(name);
        b->setText(text);
        b->setCheckable(true);
        b->setAutoExclusive(true);
        b->setEnabled(false);
        zoom->addWidget(b);
    };
    makeZoom(zoomoutbutt, "zoomoutbutt", "-");
    makeZoom(zoominbutt, "zoominbutt", "+");
    makeZoom(zoomnorm, "zoomnorm", "1:1");
    zoomnorm->setChecked(true);
    grid->addLayout(zoom, row++, 0, 1, 2);

    DlabelCheck = new QCheckBox("Depth Labels", this);
    DlabelCheck->setObjectName("DlabelCheck");
    DlabelCheck->setChecked(d.DlabelCheck);
    grid->addWidget(DlabelCheck, row++, 0, 1, 2);
    TimeFreq = rangedSpin(this, "TimeFreq", d.TimeFreq, 10);
    grid->addWidget(label(this, "Label3", "Time Lab"), row, 0);
    grid->addWidget(TimeFreq, row++, 1);
    ShotFreq = rangedSpin(this, "ShotFreq", d.ShotFreq, 10);
    grid->addWidget(label(this, "Label4", "Shot Lab"), row, 0);
    grid->addWidget(ShotFreq, row++, 1);

    Grid = trackBar(this, "Grid", Qt::Horizontal, d.Grid);
    Grid->setSingleStep(3);
    GridLab = label(this, "GridLab", QString::number(d.Grid()));
    grid->addWidget(label(this, "Label5", "Grid"), row, 0);
    auto* gridRow = new QHBoxLayout;
    gridRow->addWidget(Grid, 1);
    gridRow->addWidget(GridLab);
    grid->addLayout(gridRow, row++, 1);

    Rep = trackBar(this, "Rep", Qt::Horizontal, d.Rep, "Horizontal Size (X)");
    RepLab = label(this, "RepLab", QString::number(d.Rep()));
    grid->addWidget(label(this, "Label6", "Hsize"), row, 0);
    auto* repRow = new QHBoxLayout;
    repRow->addWidget(Rep, 1);
    repRow->addWidget(RepLab);
    grid->addLayout(repRow, row++, 1);

    SoundSpeedEdit =
        rangedSpin(this, "SoundSpeedEdit", d.SoundSpeedEdit, 10, "Sound speed (m/sec.)");
    grid->addWidget(label(this, "Label7", "Snd Spd "), row, 0);
    grid->addWidget(SoundSpeedEdit, row++, 1);
    LineNameLabelCheck = new QCheckBox("Line Name", this);
    LineNameLabelCheck->setObjectName("LineNameLabelCheck");
    LineNameLabelCheck->setChecked(d.LineNameLabelCheck);
    grid->addWidget(LineNameLabelCheck, row++, 0, 1, 2);
    v->addLayout(grid);

    Dir_radio = new QGroupBox("Direction", this);
    Dir_radio->setObjectName("Dir_radio");
    auto* dir = new QHBoxLayout(Dir_radio);
    DirLR = new QRadioButton("L-R", Dir_radio);
    DirLR->setObjectName("DirLR");
    DirRL = new QRadioButton("R-L", Dir_radio);
    DirRL->setObjectName("DirRL");
    (d.Dir_radio == 0 ? DirLR : DirRL)->setChecked(true);
    dir->addWidget(DirLR);
    dir->addWidget(DirRL);
    Dir_radio->setEnabled(false);
    v->addWidget(Dir_radio);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel = label(StatusBar1, "Panel0", "Controls");
    StatusBar1->addWidget(StatusPanel, 1);
    v->addWidget(StatusBar1);

    connect(PaletteBar, &QSlider::valueChanged, this, &TDisplayControlsForm::PaletteBarChange);
    connect(Rep, &QSlider::valueChanged, this, &TDisplayControlsForm::RepChange);
    connect(Grid, &QSlider::valueChanged, this, &TDisplayControlsForm::GridChange);
    connect(Gain, &QSlider::valueChanged, this, [&d](int p) { d.Gain.set(p); });
    // A gain the user sets by hand drops the clip level Auto chose.
    connect(Gain, &QSlider::actionTriggered, this, [&d](int) { d.ClipLevel = 0; });
    connect(DragWidth, &QSpinBox::valueChanged, this, [&d](int p) { d.DragWidth.set(p); });
    connect(NVP, &QSpinBox::valueChanged, this, [&d](int p) { d.NVP.set(p); });
    connect(TimeFreq, &QSpinBox::valueChanged, this, [&d](int p) { d.TimeFreq.set(p); });
    connect(ShotFreq, &QSpinBox::valueChanged, this, [&d](int p) { d.ShotFreq.set(p); });
    connect(SoundSpeedEdit, &QSpinBox::valueChanged, this,
            [&d](int p) { d.SoundSpeedEdit.set(p); });
    connect(DlabelCheck, &QCheckBox::toggled, this, [&d](bool on) { d.DlabelCheck = on; });
    connect(LineNameLabelCheck, &QCheckBox::toggled, this,
            [&d](bool on) { d.LineNameLabelCheck = on; });
    connect(DirRL, &QRadioButton::toggled, this, [&d](bool on) { d.Dir_radio = on ? 1 : 0; });
}

void TDisplayControlsForm::PaletteBarChange(int position) {
    session_.display.PaletteBar.set(position);
    StatusPanel->setText(paletteName(session_.display.PaletteBar()));
}

void TDisplayControlsForm::RepChange(int position) {
    session_.display.Rep.set(position);
    RepLab->setText(QString::number(session_.display.Rep()));
}

void TDisplayControlsForm::GridChange(int position) {
    session_.display.Grid.set(position);
    GridLab->setText(QString::number(session_.display.Grid()));
}

void TDisplayControlsForm::refreshFromSession() {
    const DisplaySettings& d = session_.display;
    setSlider(PaletteBar, d.PaletteBar());
    setSlider(Gain, d.Gain());
    setSlider(TrackBar3, d.TrackBar3());
    setSpin(DragWidth, d.DragWidth());
    setSpin(NVP, d.NVP());
    DlabelCheck->setChecked(d.DlabelCheck);
    setSpin(TimeFreq, d.TimeFreq());
    setSpin(ShotFreq, d.ShotFreq());
    setSlider(Grid, d.Grid());
    setSlider(Rep, d.Rep());
    setSpin(SoundSpeedEdit, d.SoundSpeedEdit());
    LineNameLabelCheck->setChecked(d.LineNameLabelCheck);
    (d.Dir_radio == 0 ? DirLR : DirRL)->setChecked(true);
}

} // namespace tarnix
