#include "ui/tarnix_form.h"

#include "core/defaults_file.h"
#include "core/session.h"
#include "display/instruments.h"
#include "display/profile_renderer.h"
#include "display/view_zoom.h"
#include "navigation/reflectivity_view.h"
#include "processing/processor.h"
#include "ui/controls.h"
#include "ui/disclaimers_form.h"
#include "ui/display_controls_form.h"
#include "ui/map_viewer_form.h"
#include "ui/notes_form.h"
#include "ui/time_slice_form.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace tarnix {

namespace {

QToolButton* toolButton(QWidget* parent, const char* name, const QString& hint,
                        QStyle::StandardPixmap icon, const QString& text = {}) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    if (text.isEmpty()) {
        b->setIcon(parent->style()->standardIcon(icon));
        b->setIconSize(QSize(22, 22));
        b->setAutoRaise(true);
    } else {
        b->setText(text);
    }
    return b;
}

QPushButton* pushButton(QWidget* parent, const char* name, const QString& text,
                        const QString& hint = {}) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    return b;
}

QLabel* imageLabel(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QPlainTextEdit* memo(QWidget* parent, const char* name) {
    auto* m = new QPlainTextEdit(parent);
    m->setObjectName(name);
    m->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont f("Courier");
    f.setStyleHint(QFont::Monospace);
    m->setFont(f);
    return m;
}

void setLines(QPlainTextEdit* m, const std::vector<std::string>& lines) {
    QString text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) text += '\n';
        text += QString::fromStdString(lines[i]);
    }
    if (m->toPlainText() != text) m->setPlainText(text);
}

void setText(QLineEdit* e, const std::string& s) {
    const QString t = QString::fromStdString(s);
    if (e->text() != t) e->setText(t);
}

constexpr int kNavigationRows = 10000; // rows of the navigation list, heading included

} // namespace

TTarnixForm::TTarnixForm(Session& session, QWidget* parent)
    : QMainWindow(parent), session_(session) {
    setObjectName("TarnixForm");
    setWindowTitle("Tarnix ver 1.2 (Morvel)");
    QFont f("Helvetica");
    f.setPixelSize(12);
    setFont(f);
    resize(801, 552);

    auto* central = new QWidget(this);
    central->setObjectName("ClientArea");
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    auto* panel = new QWidget(central);
    panel->setObjectName("Panel1");
    panel->setFixedHeight(93);
    buildTopPanel(panel);
    v->addWidget(panel);
    PageControl1 = new QTabWidget(central);
    PageControl1->setObjectName("PageControl1");
    v->addWidget(PageControl1, 1);
    setCentralWidget(central);

    buildPages();
    buildMenus();
    buildStatusBar();

    // FormCreate: both fonts start as the font dialog's font.
    dialogFont = QFont("System");
    dialogFont.setPointSize(10);
    annotFont = dialogFont;
    titleFont = dialogFont;

    refreshFromSession();
}

TTarnixForm::~TTarnixForm() = default; // the profile bitmap goes with the window

void TTarnixForm::buildTopPanel(QWidget* panel) {
    auto* h = new QHBoxLayout(panel);
    h->setContentsMargins(4, 2, 4, 2);

    auto* tools = new QGridLayout;
    SpeedButton1 =
        toolButton(panel, "SpeedButton1", "Display Controls", QStyle::SP_FileDialogDetailedView);
    SpeedButton3 = toolButton(panel, "SpeedButton3", "Select Shots", QStyle::SP_FileDialogListView);
    SpeedButton4 =
        toolButton(panel, "SpeedButton4", "Create a Notebook", QStyle::SP_FileDialogNewFolder);
    SpeedButton6 = toolButton(panel, "SpeedButton6", "Open Map Form", QStyle::SP_DriveNetIcon);
    tools->addWidget(SpeedButton1, 0, 0);
    tools->addWidget(SpeedButton3, 0, 1);
    tools->addWidget(SpeedButton4, 1, 0);
    tools->addWidget(SpeedButton6, 1, 1);
    h->addLayout(tools);
    connect(SpeedButton1, &QToolButton::clicked, this, &TTarnixForm::SpeedButton1Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TTarnixForm::Shots1Click);
    connect(SpeedButton4, &QToolButton::clicked, this, &TTarnixForm::CreateaNotebook1Click);
    connect(SpeedButton6, &QToolButton::clicked, this, &TTarnixForm::OpenForm1Click);

    auto* sweep = new QGridLayout;
    auto* l1 = new QLabel("Start Sweep (msec)", panel);
    l1->setObjectName("Label3");
    auto* l2 = new QLabel("End Sweep (msec)", panel);
    l2->setObjectName("Label4");
    StartSweep = rangedSpin(panel, "StartSweep", session_.StartSweep);
    EndSweep = rangedSpin(panel, "EndSweep", session_.EndSweep);
    sweep->addWidget(l1, 0, 0);
    sweep->addWidget(StartSweep, 1, 0);
    sweep->addWidget(l2, 0, 1);
    sweep->addWidget(EndSweep, 1, 1);
    h->addLayout(sweep);
    connect(StartSweep, &QSpinBox::valueChanged, this, &TTarnixForm::StartSweepChange);
    connect(EndSweep, &QSpinBox::valueChanged, this, &TTarnixForm::EndSweepChange);

    auto* edits = new QVBoxLayout;
    edits->setSpacing(1);
    QLineEdit** fields[] = {&Edit2, &Edit3, &Edit4};
    std::string Session::*texts[] = {&Session::Edit2, &Session::Edit3, &Session::Edit4};
    const char* names[] = {"Edit2", "Edit3", "Edit4"};
    for (int i = 0; i < 3; ++i) {
        auto* e = new QLineEdit(panel);
        e->setObjectName(names[i]);
        e->setMinimumWidth(260);
        *fields[i] = e;
        edits->addWidget(e);
        auto member = texts[i];
        connect(e, &QLineEdit::textEdited, this,
                [this, member](const QString& t) { session_.*member = t.toStdString(); });
    }
    h->addLayout(edits, 1);

    auto* run = new QVBoxLayout;
    ProgressBar1 = new QProgressBar(panel);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->hide();
    TwoDCheck = new QCheckBox("Interactive Mapping", panel);
    TwoDCheck->setObjectName("TwoDCheck");
    run->addWidget(ProgressBar1);
    run->addWidget(TwoDCheck);
    h->addLayout(run);

    auto* steps = new QVBoxLayout;
    steps->setSpacing(0);
    Up = toolButton(panel, "Up", "Next shot", QStyle::SP_ArrowUp);
    stand = toolButton(panel, "stand", "This shot again", QStyle::SP_BrowserReload);
    down = toolButton(panel, "down", "Previous shot", QStyle::SP_ArrowDown);
    for (auto* b : {Up, stand, down}) {
        b->setIconSize(QSize(16, 16));
        steps->addWidget(b);
    }
    h->addLayout(steps);
    connect(Up, &QToolButton::clicked, this, &TTarnixForm::UpClick);
    connect(stand, &QToolButton::clicked, this, &TTarnixForm::standClick);
    connect(down, &QToolButton::clicked, this, &TTarnixForm::downClick);

    auto* buttons = new QGridLayout;
    Playbutt = pushButton(panel, "Playbutt", "GO", "GO process");
    OpenButt = pushButton(panel, "OpenButt", "OPEN", "Open File");
    EditButt = pushButton(panel, "EditButt", "EDIT", "Edit Processing Sequence");
    STOPButt = pushButton(panel, "STOPButt", "STOP");
    QFont bold = Playbutt->font();
    bold.setBold(true);
    for (auto* b : {Playbutt, OpenButt, EditButt, STOPButt}) {
        b->setFont(bold);
        b->setMinimumWidth(64);
    }
    buttons->addWidget(Playbutt, 0, 0);
    buttons->addWidget(OpenButt, 0, 1);
    buttons->addWidget(EditButt, 1, 0);
    buttons->addWidget(STOPButt, 1, 1);
    h->addLayout(buttons);
    connect(Playbutt, &QPushButton::clicked, this, &TTarnixForm::PlayButtClick);
    connect(OpenButt, &QPushButton::clicked, this, &TTarnixForm::OpenFile1Click);
    connect(EditButt, &QPushButton::clicked, this, &TTarnixForm::EditButtClick);
    connect(STOPButt, &QPushButton::clicked, this, &TTarnixForm::STOPButtClick);
}

void TTarnixForm::buildPages() {
    struct Page {
        QWidget** sheet;
        const char* name;
        const char* caption;
    };
    const Page pages[] = {{&TabSheet1, "TabSheet1", "Profile"},
                          {&TabSheet2, "TabSheet2", "Positioning"},
                          {&TabSheet3, "TabSheet3", "Tarnix File Header"},
                          {&TabSheet5, "TabSheet5", "Analysis"},
                          {&TabSheet6, "TabSheet6", "SEGY File Header"},
                          {&TabSheet7, "TabSheet7", "Processing Memo"},
                          {&TabSheet4, "TabSheet4", "Reflectivity"},
                          {&TabSheet8, "TabSheet8", "Bitmaps"},
                          {&TabSheet9, "TabSheet9", "Refraction"}};
    for (const Page& p : pages) {
        auto* w = new QWidget(PageControl1);
        w->setObjectName(p.name);
        *p.sheet = w;
        PageControl1->addTab(w, p.caption);
    }
    buildProfilePage();
    buildPositioningPage();
    buildFileHeaderPage();
    buildAnalysisPage();
    buildMemoPages();
    buildReflectivityPage();
    buildBitmapsPage();
    buildRefractionPage();
    connect(PageControl1, &QTabWidget::currentChanged, this, &TTarnixForm::PageControl1Change);
}

void TTarnixForm::buildProfilePage() {
    auto* v = new QVBoxLayout(TabSheet1);
    v->setContentsMargins(0, 0, 0, 0);
    ScrollBox1 = new QScrollArea(TabSheet1);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setBackgroundRole(QPalette::Base);
    Display = imageLabel(ScrollBox1, "Display");
    Display->setMouseTracking(true);
    Display->installEventFilter(this);
    ScrollBox1->setWidget(Display);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->viewport()->installEventFilter(this);
    v->addWidget(ScrollBox1);
}

void TTarnixForm::buildPositioningPage() {
    auto* h = new QHBoxLayout(TabSheet2);
    NavigationGrid = new QTableWidget(kNavigationRows - 1, 1, TabSheet2);
    NavigationGrid->setObjectName("NavigationGrid");
    NavigationGrid->setHorizontalHeaderLabels({""});
    NavigationGrid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft);
    NavigationGrid->setColumnWidth(0, 997);
    NavigationGrid->verticalHeader()->setMinimumSectionSize(15);
    NavigationGrid->verticalHeader()->setDefaultSectionSize(15);
    NavigationGrid->verticalHeader()->hide();
    NavigationGrid->setFont(QFont("Courier", 9));
    h->addWidget(NavigationGrid, 1);
    connect(NavigationGrid, &QTableWidget::cellChanged, this, &TTarnixForm::NavigationGridEdited);

    NavFileGroup = new QGroupBox("Navigation File", TabSheet2);
    NavFileGroup->setObjectName("NavFileGroup");
    auto* g = new QVBoxLayout(NavFileGroup);
    SavenavButt = pushButton(NavFileGroup, "SavenavButt", "SAVE");
    importNavbutt = pushButton(NavFileGroup, "importNavbutt", "IMPORT");
    ClearNavButt = pushButton(NavFileGroup, "ClearNavButt", "CLEAR");
    auto* fixLabel = new QLabel("Fix every (shots)", NavFileGroup);
    fixLabel->setObjectName("Label5");
    HdrSelect = rangedSpin(NavFileGroup, "HdrSelect", session_.HdrSelect, 10);
    PrintButt = pushButton(NavFileGroup, "PrintButt", "Print Profile");
    PrintButt->setEnabled(false);
    PrintButt->setVisible(false);
    for (QWidget* w : std::initializer_list<QWidget*>{SavenavButt, importNavbutt, ClearNavButt,
                                                      fixLabel, HdrSelect, PrintButt})
        g->addWidget(w);
    g->addStretch(1);
    h->addWidget(NavFileGroup);
    connect(SavenavButt, &QPushButton::clicked, this, &TTarnixForm::SavenavButtClick);
    connect(importNavbutt, &QPushButton::clicked, this, &TTarnixForm::importNavbuttClick);
    connect(ClearNavButt, &QPushButton::clicked, this, &TTarnixForm::ClearNavButtClick);
    connect(HdrSelect, &QSpinBox::valueChanged, this, &TTarnixForm::HdrSelectChange);
    connect(PrintButt, &QPushButton::clicked, this, &TTarnixForm::Print1Click);
}

void TTarnixForm::buildFileHeaderPage() {
    auto* h = new QHBoxLayout(TabSheet3);
    FileHeaderGrid = new QTableWidget(13, 3, TabSheet3);
    FileHeaderGrid->setObjectName("FileHeaderGrid");
    FileHeaderGrid->setHorizontalHeaderLabels({"Field", "Value", "Comment"});
    FileHeaderGrid->verticalHeader()->hide();
    FileHeaderGrid->setColumnWidth(0, 140);
    FileHeaderGrid->setColumnWidth(1, 120);
    FileHeaderGrid->setColumnWidth(2, 260);
    h->addWidget(FileHeaderGrid, 2);
    auto* side = new QVBoxLayout;
    auto* area = new QLabel("Area:", TabSheet3);
    area->setObjectName("Label12");
    AreaEdit = new QLineEdit(TabSheet3);
    AreaEdit->setObjectName("AreaEdit");
    auto* source = new QLabel("Source:", TabSheet3);
    source->setObjectName("Label13");
    SourceEdit = new QLineEdit(TabSheet3);
    SourceEdit->setObjectName("SourceEdit");
    NotesMemo = memo(TabSheet3, "NotesMemo");
    for (QWidget* w : std::initializer_list<QWidget*>{area, AreaEdit, source, SourceEdit})
        side->addWidget(w);
    side->addWidget(NotesMemo, 1);
    h->addLayout(side, 1);
}

void TTarnixForm::buildAnalysisPage() {
    auto* h = new QHBoxLayout(TabSheet5);
    auto* instruments = new QGridLayout;
    struct Instrument {
        QGroupBox** box;
        const char* boxName;
        const char* caption;
        QLabel** image;
        const char* imageName;
        std::initializer_list<std::pair<QLabel**, const char*>> labels;
    };
    const Instrument list[] = {
        {&GroupBox3,
         "GroupBox3",
         "Oscilloscope",
         &AImage,
         "AImage",
         {{&Label8, "Label8"}, {&Label9, "Label9"}, {&Label17, "Label17"}}},
        {&GroupBox1,
         "GroupBox1",
         "Amplitude Spectrum",
         &Simage,
         "Simage",
         {{&Label6, "Label6"}, {&Label7, "Label7"}}},
        {&GroupBox4,
         "GroupBox4",
         "Phase Spectrum",
         &Phimage,
         "Phimage",
         {{&Label14, "Label14"}, {&Label15, "Label15"}}},
        {&GroupBox2,
         "GroupBox2",
         "Autocorrelogram",
         &AutoImage,
         "AutoImage",
         {{&Label10, "Label10"}, {&Label11, "Label11"}}},
    };
    int i = 0;
    for (const Instrument& in : list) {
        auto* box = new QGroupBox(in.caption, TabSheet5);
        box->setObjectName(in.boxName);
        *in.box = box;
        auto* bv = new QVBoxLayout(box);
        auto* img = imageLabel(box, in.imageName);
        img->setMouseTracking(true);
        img->installEventFilter(this);
        img->setFrameShape(QFrame::Box);
        // The drawn image follows the control's size, never the other way round;
        // the oscilloscope and the correlogram are 130 pixels high.
        const bool fixedHeight = in.image == &AImage || in.image == &AutoImage;
        img->setSizePolicy(QSizePolicy::Ignored,
                           fixedHeight ? QSizePolicy::Fixed : QSizePolicy::Expanding);
        if (fixedHeight)
            img->setFixedHeight(130 + 2 * img->frameWidth());
        else
            img->setMinimumHeight(130);
        *in.image = img;
        bv->addWidget(img, fixedHeight ? 0 : 1);
        auto* row = new QHBoxLayout;
        for (auto [label, name] : in.labels) {
            auto* l = new QLabel(box);
            l->setObjectName(name);
            *label = l;
            row->addWidget(l);
        }
        bv->addLayout(row);
        if (fixedHeight) bv->addStretch(1);
        instruments->addWidget(box, i / 2, i % 2);
        ++i;
    }
    h->addLayout(instruments, 1);

    auto* side = new QVBoxLayout;
    auto* virt = new QGroupBox("Virtual Instruments", TabSheet5);
    virt->setObjectName("GroupBox5");
    auto* vv = new QVBoxLayout(virt);
    CheckBox1 = new QCheckBox("Oscilloscope", virt);
    CheckBox2 = new QCheckBox("Ampli. Spectrum", virt);
    CheckBox3 = new QCheckBox("Phase Spectrum", virt);
    CheckBox4 = new QCheckBox("Autocorrelation", virt);
    const char* checkNames[] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4"};
    QCheckBox* checks[] = {CheckBox1, CheckBox2, CheckBox3, CheckBox4};
    for (int k = 0; k < 4; ++k) {
        checks[k]->setObjectName(checkNames[k]);
        vv->addWidget(checks[k]);
    }
    CheckBox1->setChecked(true);
    GroupBox1->hide();
    GroupBox4->hide();
    GroupBox2->hide();
    connect(CheckBox1, &QCheckBox::clicked, this, &TTarnixForm::CheckBox1Click);
    connect(CheckBox2, &QCheckBox::clicked, this, &TTarnixForm::CheckBox2Click);
    connect(CheckBox3, &QCheckBox::clicked, this, &TTarnixForm::CheckBox3Click);
    connect(CheckBox4, &QCheckBox::clicked, this, &TTarnixForm::CheckBox4Click);
    side->addWidget(virt);

    auto* counter = new QGroupBox("Shot Counter", TabSheet5);
    counter->setObjectName("GroupBox6");
    auto* cv = new QVBoxLayout(counter);
    Sel_ana_spin = rangedSpin(counter, "Sel_ana_spin", session_.Sel_ana_spin);
    Sel_ana_spin->setToolTip("Select shot for the analysis");
    cv->addWidget(Sel_ana_spin);
    connect(Sel_ana_spin, &QSpinBox::valueChanged, this, &TTarnixForm::Sel_ana_spinChange);
    side->addWidget(counter);

    auto* file = new QGroupBox("File", TabSheet5);
    file->setObjectName("GroupBox7");
    auto* fv = new QVBoxLayout(file);
    SpeedButton2 = toolButton(file, "SpeedButton2", "", QStyle::SP_DialogSaveButton, "Save ASCII");
    RMSFlag = new QCheckBox("RMS", file);
    RMSFlag->setObjectName("RMSFlag");
    fv->addWidget(SpeedButton2);
    fv->addWidget(RMSFlag);
    connect(SpeedButton2, &QToolButton::clicked, this, &TTarnixForm::SpeedButton2Click);
    connect(RMSFlag, &QCheckBox::clicked, this, &TTarnixForm::RMSFlagClick);
    side->addWidget(file);
    side->addStretch(1);
    h->addLayout(side);
}

void TTarnixForm::buildMemoPages() {
    auto* a = new QVBoxLayout(TabSheet6);
    SEGYmemo = memo(TabSheet6, "SEGYmemo");
    SEGYmemo->setReadOnly(true);
    a->addWidget(SEGYmemo);
    auto* b = new QVBoxLayout(TabSheet7);
    Memo2 = memo(TabSheet7, "Memo2");
    b->addWidget(Memo2);
    connect(Memo2, &QPlainTextEdit::textChanged, this, [this] {
        std::vector<std::string> lines;
        for (const QString& l : Memo2->toPlainText().split('\n')) lines.push_back(l.toStdString());
        session_.Memo2 = std::move(lines);
    });
}

void TTarnixForm::buildReflectivityPage() {
    auto* v = new QVBoxLayout(TabSheet4);
    auto* top = new QHBoxLayout;
    graphBox = new QScrollArea(TabSheet4);
    graphBox->setObjectName("ScrollBox3");
    graph1 = imageLabel(graphBox, "graph1");
    graph1->resize(451, 170);
    graph1->setMouseTracking(true);
    graph1->installEventFilter(this);
    graphBox->setWidget(graph1);
    graphBox->setMinimumHeight(190);
    top->addWidget(graphBox, 1);
    auto* side = new QGridLayout;
    auto* maxLabel = new QLabel("MAX", TabSheet4);
    maxLabel->setObjectName("Label18");
    auto* minLabel = new QLabel("MIN", TabSheet4);
    minLabel->setObjectName("Label19");
    Edit5 = new QLineEdit(TabSheet4);
    Edit5->setObjectName("Edit5");
    Edit6 = new QLineEdit(TabSheet4);
    Edit6->setObjectName("Edit6");
    Label16 = new QLabel("FileName", TabSheet4);
    Label16->setObjectName("Label16");
    SpeedButton7 = toolButton(TabSheet4, "SpeedButton7", "", QStyle::SP_DialogOpenButton, "OPEN");
    SpeedButton8 = toolButton(TabSheet4, "SpeedButton8", "", QStyle::SP_DialogSaveButton, "SAVE");
    side->addWidget(maxLabel, 0, 0);
    side->addWidget(Edit5, 0, 1);
    side->addWidget(minLabel, 1, 0);
    side->addWidget(Edit6, 1, 1);
    side->addWidget(Label16, 2, 0, 1, 2);
    side->addWidget(SpeedButton7, 3, 0);
    side->addWidget(SpeedButton8, 3, 1);
    side->setRowStretch(4, 1);
    top->addLayout(side);
    v->addLayout(top);
    refgrid = new QTableWidget(500, 1, TabSheet4);
    refgrid->setObjectName("refgrid");
    refgrid->horizontalHeader()->hide();
    refgrid->verticalHeader()->hide();
    refgrid->setColumnWidth(0, 600);
    refgrid->verticalHeader()->setMinimumSectionSize(16);
    refgrid->verticalHeader()->setDefaultSectionSize(16);
    v->addWidget(refgrid, 1);
    connect(SpeedButton7, &QToolButton::clicked, this, &TTarnixForm::SpeedButton7Click);
    connect(SpeedButton8, &QToolButton::clicked, this, &TTarnixForm::SpeedButton8Click);
}

void TTarnixForm::buildBitmapsPage() {
    auto* v = new QVBoxLayout(TabSheet8);
    GroupBox9 = new QGroupBox("File:", TabSheet8);
    GroupBox9->setObjectName("GroupBox9");
    auto* h = new QHBoxLayout(GroupBox9);
    importbmp = toolButton(GroupBox9, "importbmp", "", QStyle::SP_DialogOpenButton, "Import");
    ConvertButt = toolButton(GroupBox9, "ConvertButt", "", QStyle::SP_MediaPlay, "Convert");
    SpeedButton10 = toolButton(GroupBox9, "SpeedButton10", "", QStyle::SP_MediaPlay, "Set");
    SpeedButton5 = toolButton(GroupBox9, "SpeedButton5", "", QStyle::SP_MediaPlay, "-");
    SpeedButton11 = toolButton(GroupBox9, "SpeedButton11", "", QStyle::SP_MediaPlay, "=");
    SpeedButton12 = toolButton(GroupBox9, "SpeedButton12", "", QStyle::SP_MediaPlay, "+");
    Label2 = new QLabel("1.00", GroupBox9);
    Label2->setObjectName("Label2");
    for (QWidget* w :
         std::initializer_list<QWidget*>{importbmp, ConvertButt, SpeedButton10, SpeedButton5,
                                         SpeedButton11, SpeedButton12, Label2})
        h->addWidget(w);
    h->addStretch(1);
    v->addWidget(GroupBox9);
    ScrollBox2 = new QScrollArea(TabSheet8);
    ScrollBox2->setObjectName("ScrollBox2");
    Image2 = imageLabel(ScrollBox2, "Image2");
    Image2->setMouseTracking(true);
    Image2->installEventFilter(this);
    ScrollBox2->setWidget(Image2);
    v->addWidget(ScrollBox2, 1);
    connect(importbmp, &QToolButton::clicked, this, &TTarnixForm::importbmpClick);
    connect(ConvertButt, &QToolButton::clicked, this, &TTarnixForm::PlayButtClick);
    connect(SpeedButton10, &QToolButton::clicked, this, &TTarnixForm::SpeedButton10Click);
    connect(SpeedButton5, &QToolButton::clicked, this, &TTarnixForm::SpeedButton5Click);
    connect(SpeedButton11, &QToolButton::clicked, this, &TTarnixForm::SpeedButton11Click);
    connect(SpeedButton12, &QToolButton::clicked, this, &TTarnixForm::SpeedButton12Click);
}

void TTarnixForm::buildRefractionPage() {
    auto* v = new QVBoxLayout(TabSheet9);
    auto* h = new QHBoxLayout;
    RefDrawButt = pushButton(TabSheet9, "RefDrawButt", "Draw");
    RefButt2 = pushButton(TabSheet9, "RefButt2", "Clear");
    REFTWTEDIT = new QLineEdit(TabSheet9);
    REFTWTEDIT->setObjectName("REFTWTEDIT");
    REFSHOTEDIT = new QLineEdit(TabSheet9);
    REFSHOTEDIT->setObjectName("REFSHOTEDIT");
    for (QWidget* w :
         std::initializer_list<QWidget*>{RefDrawButt, RefButt2, REFTWTEDIT, REFSHOTEDIT})
        h->addWidget(w);
    v->addLayout(h);
    Section = imageLabel(TabSheet9, "Section");
    v->addWidget(Section, 1);
    // The page exists but nothing reaches it.
    TabSheet9->setEnabled(false);
    PageControl1->setTabEnabled(RefractionPage, false);
    PageControl1->setTabVisible(RefractionPage, false);
}

void TTarnixForm::buildMenus() {
    auto add = [this](QMenu* menu, QAction*& field, const char* name, const QString& caption,
                      const char* handler, void (TTarnixForm::*slot)()) {
        field = menu->addAction(caption);
        field->setObjectName(name);
        if (slot) {
            field->setProperty("handler", QString(handler));
            connect(field, &QAction::triggered, this, slot);
        }
    };
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    QMenu* file = bar->addMenu("&File");
    file->setObjectName("File1");
    add(file, OpenFile1, "OpenFile1", "&Open", "OpenFile1Click", &TTarnixForm::OpenFile1Click);
    add(file, Close1, "Close1", "&Close", "Close1Click", &TTarnixForm::Close1Click);
    add(file, CreateaNotebook1, "CreateaNotebook1", "C&reate  Notebook", "CreateaNotebook1Click",
        &TTarnixForm::CreateaNotebook1Click);
    add(file, ExportAscii1, "ExportAscii1", "Ex&port Ascii", "ExportAscii1Click",
        &TTarnixForm::ExportAscii1Click);
    add(file, SaveNavigation1, "SaveNavigation1", "Save &Navigation", "SavenavButtClick",
        &TTarnixForm::SavenavButtClick);
    add(file, Save1, "Save1", "&Save Image", "Save1Click", &TTarnixForm::Save1Click);
    add(file, SaveConfig1, "SaveConfig1", "Save &Config.", "SaveConfig1Click",
        &TTarnixForm::SaveConfig1Click);
    add(file, Print1, "Print1", "&Print", "Print1Click", &TTarnixForm::Print1Click);
    add(file, Exit1, "Exit1", "&Exit", "Exit1Click", &TTarnixForm::Exit1Click);
    buildFileActions(file);

    QMenu* edit = bar->addMenu("&Image Edit");
    edit->setObjectName("ImageEdit1");
    add(edit, New1, "New1", "&New", "New1Click", &TTarnixForm::New1Click);
    add(edit, Copy1, "Copy1", "&Copy", "Copy1Click", &TTarnixForm::Copy1Click);
    add(edit, Cut1, "Cut1", "Cu&t", "Cut1Click", &TTarnixForm::Cut1Click);
    add(edit, paste1, "paste1", "&Paste", "paste1Click", &TTarnixForm::paste1Click);
    buildViewActions(edit);

    QMenu* select = bar->addMenu("&Select");
    select->setObjectName("Select1");
    add(select, Shots1, "Shots1", "S&hots", "Shots1Click", &TTarnixForm::Shots1Click);
    add(select, AnnotFont1, "AnnotFont1", "Annot. Font", "AnnotFont1Click",
        &TTarnixForm::AnnotFont1Click);
    add(select, TitleFont1, "TitleFont1", "Title Font", "TitleFont1Click",
        &TTarnixForm::TitleFont1Click);
    add(select, Pencolor1, "Pencolor1", "&Pen color", "Pencolor1Click",
        &TTarnixForm::Pencolor1Click);

    QMenu* process = bar->addMenu("&Process");
    process->setObjectName("Process1");
    add(process, EditSequence1, "EditSequence1", "&Edit Processing Sequence", "EditSequence1Click",
        &TTarnixForm::EditSequence1Click);
    add(process, GoProcess1, "GoProcess1", "&Go Process", "", nullptr);

    QMenu* map = bar->addMenu("&Map");
    map->setObjectName("Map1");
    add(map, OpenForm1, "OpenForm1", "OpenForm", "OpenForm1Click", &TTarnixForm::OpenForm1Click);
    add(map, ExtractNAV1, "ExtractNAV1", "E&xtract NAV from SEGY", "ExtractNAV1Click",
        &TTarnixForm::ExtractNAV1Click);
    add(map, Sample1, "Sample1", "Sam&ple XYZ Map", "Sample1Click", &TTarnixForm::Sample1Click);

    QMenu* threeD = bar->addMenu("3&D");
    threeD->setObjectName("N3D1");
    add(threeD, ExtractTimeSlices1, "ExtractTimeSlices1", "&Time Slices", "ExtractTimeSlices1Click",
        &TTarnixForm::ExtractTimeSlices1Click);

    QMenu* help = bar->addMenu("&Help");
    help->setObjectName("Help1");
    add(help, Disclaimers1, "Disclaimers1", "&Disclaimers", "Disclaimers1Click",
        &TTarnixForm::Disclaimers1Click);
    buildHelpActions(help);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    QAction* a = nullptr;
    add(PopupMenu1, a, "Copy2", "Copy", "Copy1Click", &TTarnixForm::Copy1Click);
    add(PopupMenu1, a, "Cut2", "Cut", "Cut1Click", &TTarnixForm::Cut1Click);
    add(PopupMenu1, a, "Paste2", "Paste", "paste1Click", &TTarnixForm::paste1Click);
}

void TTarnixForm::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    const char* texts[] = {"Cursor", "Image", "Profile"};
    const int widths[] = {180, 120, 300};
    for (int i = 0; i < 3; ++i) {
        auto* l = new QLabel(texts[i], bar);
        l->setObjectName(QString("StatusPanel%1").arg(i));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setMinimumWidth(widths[i]);
        StatusPanels[i] = l;
        bar->addWidget(l, i == 2 ? 1 : 0);
    }
}

// ---------------------------------------------------------------------------

void TTarnixForm::INIT_VARIABLES() {
    try {
        tarnix::INIT_VARIABLES(session_);
    } catch (const std::exception& e) {
        // The values read before the bad line stay; the user learns why the rest did not.
        session_.Edit2 = e.what();
    }
    refreshFromSession();
    if (forms.DisplayControlsForm) forms.DisplayControlsForm->refreshFromSession();
}

void TTarnixForm::refreshFromSession() {
    Session& s = session_;
    showRanged(StartSweep, s.StartSweep);
    showRanged(EndSweep, s.EndSweep);
    setText(Edit2, s.Edit2);
    setText(Edit3, s.Edit3);
    setText(Edit4, s.Edit4);
    Playbutt->setEnabled(s.goEnabled);
    showRanged(HdrSelect, s.HdrSelect);
    showRanged(Sel_ana_spin, s.Sel_ana_spin);
    RMSFlag->setChecked(s.RMSFlag);
    setLines(SEGYmemo, s.SEGYmemo);
    showFileHeaderGrid();
    {
        QSignalBlocker block(Memo2);
        setLines(Memo2, s.Memo2);
    }

    QSignalBlocker block(NavigationGrid);
    const auto& nav = s.navigationGrid;
    const int rows = std::max<int>(kNavigationRows, static_cast<int>(nav.size())) - 1;
    if (NavigationGrid->rowCount() != rows) NavigationGrid->setRowCount(rows);
    NavigationGrid->setHorizontalHeaderLabels(
        {nav.empty() ? QString() : QString::fromStdString(nav[0])});
    // Only the rows that held or now hold text are looked at.
    const int used = std::min(rows, std::max(navRowsShown_, static_cast<int>(nav.size()) - 1));
    navRowsShown_ = std::max(0, static_cast<int>(nav.size()) - 1);
    for (int r = 0; r < used; ++r) {
        const size_t row = static_cast<size_t>(r) + 1;
        const QString text = row < nav.size() ? QString::fromStdString(nav[row]) : QString();
        QTableWidgetItem* item = NavigationGrid->item(r, 0);
        if (!item) {
            if (text.isEmpty()) continue;
            NavigationGrid->setItem(r, 0, new QTableWidgetItem(text));
        } else if (item->text() != text) {
            item->setText(text);
        }
    }
}

// Row 0 of the grid's table is its column titles.
void TTarnixForm::showFileHeaderGrid() {
    const auto& g = session_.fileHeaderGrid;
    if (g.empty()) return;
    QStringList titles;
    for (const std::string& cell : g[0]) titles << QString::fromStdString(cell);
    FileHeaderGrid->setHorizontalHeaderLabels(titles);
    FileHeaderGrid->setRowCount(static_cast<int>(g.size()) - 1);
    for (size_t r = 1; r < g.size(); ++r)
        for (int c = 0; c < 3; ++c) {
            const QString text = QString::fromStdString(g[r][static_cast<size_t>(c)]);
            QTableWidgetItem* item = FileHeaderGrid->item(static_cast<int>(r) - 1, c);
            if (!item)
                FileHeaderGrid->setItem(static_cast<int>(r) - 1, c, new QTableWidgetItem(text));
            else if (item->text() != text)
                item->setText(text);
        }
}

void TTarnixForm::showProfile() {
    Display->setPixmap(QPixmap::fromImage(profileImage));
    Display->resize(viewSize(profileImage.width(), viewZoom_),
                    viewSize(profileImage.height(), viewZoom_));
}

void TTarnixForm::showBitmap() {
    Image2->setPixmap(crispPixmap(bitmapImage, Image2->devicePixelRatioF()));
    Image2->resize(bitmapImage.size());
}

void TTarnixForm::setStatusPanel(int index, const QString& text) {
    if (index >= 0 && index < 3) StatusPanels[index]->setText(text);
}

QString TTarnixForm::statusPanel(int index) const {
    return index >= 0 && index < 3 ? StatusPanels[index]->text() : QString();
}

void TTarnixForm::showError(const QString& message) {
    if (QApplication::platformName() == "offscreen") {
        qWarning("%s", qPrintable(message));
        return;
    }
    QMessageBox::critical(this, windowTitle(), message);
}

// ---------------------------------------------------------------------------
// Handlers of the frame

void TTarnixForm::PageControl1Change(int index) {
    session_.SingleTraceMode = index == AnalysisPage;
}

void TTarnixForm::StartSweepChange(int value) {
    if (StartSweep->hasFocus()) windowTouched_ = true;
    session_.StartSweep.set(value);
}

void TTarnixForm::EndSweepChange(int value) {
    if (EndSweep->hasFocus()) windowTouched_ = true;
    session_.EndSweep.set(value);
}

void TTarnixForm::HdrSelectChange(int value) {
    session_.HdrSelect.set(value);
}

void TTarnixForm::Sel_ana_spinChange(int value) {
    session_.Sel_ana_spin.set(value);
}

void TTarnixForm::RMSFlagClick() {
    session_.RMSFlag = RMSFlag->isChecked();
}

void TTarnixForm::NavigationGridEdited(int row, int column) {
    if (column != 0) return;
    auto& nav = session_.navigationGrid;
    const size_t index = static_cast<size_t>(row) + 1;
    if (nav.size() <= index) nav.resize(index + 1);
    QTableWidgetItem* item = NavigationGrid->item(row, 0);
    nav[index] = item ? item->text().toStdString() : std::string();
}

void TTarnixForm::Close1Click() {
    guarded([this] { CLOSE_FILES(session_); });
    session_.goEnabled = false;
    Playbutt->setEnabled(false);
}

void TTarnixForm::SaveConfig1Click() {
    guarded([this] { saveDefaultsFile(session_); });
}

void TTarnixForm::Exit1Click() {
    close();
}

void TTarnixForm::SpeedButton1Click() {
    if (forms.DisplayControlsForm) forms.DisplayControlsForm->show();
}

void TTarnixForm::OpenForm1Click() {
    if (!forms.MapViewerForm) return;
    forms.MapViewerForm->show();
    forms.MapViewerForm->raise();
    forms.MapViewerForm->activateWindow();
}

void TTarnixForm::ExtractTimeSlices1Click() {
    if (forms.TimeSliceForm) forms.TimeSliceForm->show();
}

void TTarnixForm::Disclaimers1Click() {
    if (forms.Disclaimers_form) forms.Disclaimers_form->show();
}

void TTarnixForm::AnnotFont1Click() {
    dialogFont = QFont("System");
    dialogFont.setPointSize(10);
    bool ok = false;
    QFont f = QFontDialog::getFont(&ok, dialogFont, this);
    if (!ok) return;
    dialogFont = f;
    annotFont = f;
}

void TTarnixForm::TitleFont1Click() {
    bool ok = false;
    QFont f = QFontDialog::getFont(&ok, dialogFont, this);
    if (!ok) return;
    dialogFont = f;
    titleFont = f;
}

void TTarnixForm::Pencolor1Click() {
    QColor c = QColorDialog::getColor(penColor, this);
    if (c.isValid()) penColor = c;
}

void TTarnixForm::Save1Click() {
    QFileDialog dialog(this, "Save Image");
    dialog.setObjectName("SaveDialog1");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // BMP first, as designed; PNG and TIFF beside it, chosen by the filter.
    dialog.setNameFilters(
        {"Bitmap Files (*.bmp)", "PNG Files (*.png)", "TIFF Files (*.tif *.tiff)"});
    dialog.setDefaultSuffix("bmp");
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        dialog.setDefaultSuffix(f.contains("png") ? "png" : f.contains("tif") ? "tif" : "bmp");
    });
    if (!imageFileName.isEmpty())
        dialog.selectFile(imageFileName);
    else
        dialog.setDirectory(lastDirectory("image"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    saveImageAs(dialog.selectedFiles().first(), dialog.selectedNameFilter());
}

void TTarnixForm::Print1Click() {
    if (profileImage.isNull()) {
        showError("There is no profile image to print yet: run GO first.");
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    QPainter painter;
    if (!painter.begin(&printer)) {
        showError("The printer could not be started.");
        return;
    }
    // The whole profile on one page, its proportions kept.
    const QRect page = painter.viewport();
    QSize size = profileImage.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x(), page.y(), size.width(), size.height());
    painter.setWindow(profileImage.rect());
    painter.drawImage(0, 0, profileImage);
    painter.end();
}

// --- Image Edit -----------------------------------------------------------

QImage* TTarnixForm::activeImage() {
    switch (PageControl1->currentIndex()) {
    case ProfilePage:
        return &profileImage;
    case BitmapsPage:
        return &bitmapImage;
    default:
        return nullptr;
    }
}

void TTarnixForm::showActiveImage() {
    switch (PageControl1->currentIndex()) {
    case ProfilePage:
        showProfile();
        break;
    case BitmapsPage:
        showBitmap();
        break;
    default:
        break;
    }
}

void TTarnixForm::Copy1Click() {
    if (QImage* img = activeImage()) {
        if (!img->isNull()) QApplication::clipboard()->setImage(*img);
        return;
    }
    if (forms.MapViewerForm) {
        const QImage& map = forms.MapViewerForm->document().image();
        if (!map.isNull()) QApplication::clipboard()->setImage(map);
    }
}

void TTarnixForm::Cut1Click() {
    Copy1Click();
    if (QImage* img = activeImage()) {
        if (img->isNull()) return;
        img->fill(Qt::white);
        showActiveImage();
        return;
    }
    if (forms.MapViewerForm) {
        QImage& map = forms.MapViewerForm->document().image();
        if (map.isNull()) return;
        map.fill(Qt::white);
        forms.MapViewerForm->mapImageChanged();
    }
}

void TTarnixForm::New1Click() {
    PageControl1->setCurrentIndex(BitmapsPage);
    QSize size = profileImage.isNull() ? QSize(1, 1) : profileImage.size();
    bitmapImage = QImage(size, QImage::Format_RGB32);
    bitmapImage.fill(Qt::white);
    showBitmap();
}

void TTarnixForm::paste1Click() {
    QImage pasted = QApplication::clipboard()->image();
    if (pasted.isNull()) return;
    pasted = pasted.convertToFormat(QImage::Format_RGB32);
    if (QImage* img = activeImage()) {
        *img = pasted;
        showActiveImage();
        return;
    }
    if (forms.MapViewerForm) {
        forms.MapViewerForm->document().image() = pasted;
        forms.MapViewerForm->mapImageChanged();
    }
}

// --- events ---------------------------------------------------------------

void TTarnixForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        qApp->setProperty("HelpFile", QString("HSP.HLP")); // recorded only
    QMainWindow::changeEvent(event);
}

bool TTarnixForm::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (profileViewEvent(watched, event)) return true;
    if (watched == ScrollBox1->viewport()) {
        if (type == QEvent::Wheel && PageControl1->currentIndex() == ProfilePage) {
            FormMouseWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
            return true;
        }
        return false;
    }
    // A right click on the profile deletes a pick while the notebook is shown.
    if (type == QEvent::ContextMenu && watched == Display && forms.NotesForm &&
        forms.NotesForm->isVisible())
        return true;
    if (type == QEvent::ContextMenu && (watched == Display || watched == Image2)) {
        PopupMenu1->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress &&
        type != QEvent::MouseButtonRelease)
        return false;
    auto* me = static_cast<QMouseEvent*>(event);
    if (watched == Display) {
        const QPoint p = displayToPicture(me->position());
        if (type == QEvent::MouseButtonPress) {
            // Any button but a plain left one is a pick; the right one then also
            // brings up the pop-up menu.
            DisplayMouseDown(me->button(), me->modifiers(), p.x(), p.y());
            pressed_ = me->button() == Qt::LeftButton && !(me->modifiers() & Qt::ShiftModifier);
            dragging_ = false;
            Display->setProperty("pressPoint", p);
        } else if (type == QEvent::MouseMove) {
            if (pressed_ && !dragging_ &&
                (p - Display->property("pressPoint").toPoint()).manhattanLength() >=
                    QApplication::startDragDistance()) {
                dragging_ = true;
                DisplayStartDrag();
            }
            if (dragging_)
                DisplayDragOver(p.x(), p.y());
            else
                DisplayMouseMove(p.x(), p.y());
        } else {
            if (dragging_) DisplayEndDrag(p.x(), p.y());
            pressed_ = dragging_ = false;
        }
        return false;
    }
    const QPoint p = me->position().toPoint();
    if (type == QEvent::MouseMove) {
        if (watched == Image2)
            Image2MouseMove(p.x(), p.y());
        else if (watched == graph1)
            graph1MouseMove(p.x(), p.y());
        else if (watched == AImage)
            AImageMouseMove(p.x(), p.y());
        else if (watched == Simage)
            SimageMouseMove(p.x(), p.y());
        else if (watched == Phimage)
            PhimageMouseMove(p.x(), p.y());
        else if (watched == AutoImage)
            AutoImageMouseMove(p.x(), p.y());
    } else if (type == QEvent::MouseButtonPress) {
        if (watched == Image2)
            Image2MouseDown(me->button(), me->modifiers(), p.x(), p.y());
        else if (watched == graph1)
            graph1MouseDown(me->button(), me->modifiers(), p.x(), p.y());
    }
    return false;
}

} // namespace tarnix
