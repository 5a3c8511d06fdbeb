#include "ui/processing_form.h"
#include "ui/file_dialogs.h"

#include "ui/help_pages.h"

#include "core/error.h"
#include "core/session.h"
#include "processing/sequence_file.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace tarnix {

namespace {
constexpr int kGridWidths[SequenceTable::kCols] = {48, 51, 117, 98, 70, 70, 70, 70};
constexpr int kRowHeight = 17;
const char* const kTabs[] = {"Gain", "Filter", "Misc.", "I/O", "Editing"};

QString q(const std::string& s) {
    return QString::fromStdString(s);
}
} // namespace

TProcessingForm::TProcessingForm(Session& session, QWidget* parent)
    : QDialog(parent), session_(session), editor_(session) {
    setObjectName("ProcessingForm");
    setWindowTitle("Processing Form");

    chooseModuleFile = [this](FileDialogKind k) { return defaultModuleFile(k); };
    chooseSequenceFile = [this](bool save) { return defaultSequenceFile(save); };
    showMessage = [this](const QString& text) {
        QMessageBox::warning(this, "Processing Form", text);
    };

    auto* outer = new QVBoxLayout(this);
    MainMenu1 = new QMenuBar(this);
    File1 = MainMenu1->addMenu("&File");
    LoadProcSequence1 = File1->addAction("&Load Proc. Sequence");
    LoadProcSequence1->setObjectName("LoadProcSequence1");
    SaveProcSequence1 = File1->addAction("&Save Proc. Sequence");
    SaveProcSequence1->setObjectName("SaveProcSequence1");
    connect(LoadProcSequence1, &QAction::triggered, this, &TProcessingForm::LoadProcSequence1Click);
    connect(SaveProcSequence1, &QAction::triggered, this, &TProcessingForm::SaveProcSequence1Click);
    outer->setMenuBar(MainMenu1);

    auto* body = new QHBoxLayout;
    outer->addLayout(body, 1);
    buildTable();
    body->addWidget(TableGroup, 0);
    auto* right = new QVBoxLayout;
    body->addLayout(right, 1);
    buildModules();
    right->addWidget(ModulesGroup, 0);
    buildEditor();
    right->addWidget(Editor, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    outer->addWidget(buttons);

    // FormCreate
    HideAllPanels();
    refreshGrid();
    resize(1180, 720);
}

void TProcessingForm::buildTable() {
    TableGroup = new QGroupBox("Table", this);
    TableGroup->setObjectName("TableGroup");
    auto* lay = new QVBoxLayout(TableGroup);
    // Row 0 of the table is the grid's fixed header row; rows 1..49 are the cells.
    ProcGrid = new QTableWidget(SequenceTable::kRows - 1, SequenceTable::kCols, TableGroup);
    ProcGrid->setObjectName("ProcGrid");
    ProcGrid->verticalHeader()->hide();
    ProcGrid->verticalHeader()->setMinimumSectionSize(1);
    ProcGrid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    ProcGrid->horizontalHeader()->setDefaultSectionSize(70);
    ProcGrid->horizontalHeader()->setMinimumSectionSize(10);
    ProcGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    ProcGrid->horizontalHeader()->setHighlightSections(false);
    for (int c = 0; c < SequenceTable::kCols; ++c) ProcGrid->setColumnWidth(c, kGridWidths[c]);
    for (int r = 0; r < ProcGrid->rowCount(); ++r) {
        ProcGrid->setRowHeight(r, kRowHeight);
        for (int c = 0; c < SequenceTable::kCols; ++c)
            ProcGrid->setItem(r, c, new QTableWidgetItem);
    }
    ProcGrid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed);
    int width = 4 + ProcGrid->verticalScrollBar()->sizeHint().width();
    for (int w : kGridWidths) width += w;
    ProcGrid->setMinimumWidth(width);
    lay->addWidget(ProcGrid);

    connect(ProcGrid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (refreshing_) return;
        session_.sequence.cell(item->row() + 1, item->column()) = item->text().toStdString();
    });
    connect(ProcGrid, &QTableWidget::cellClicked, this, &TProcessingForm::ProcGridClick);
}

void TProcessingForm::buildModules() {
    ModulesGroup = new QGroupBox("Modules", this);
    ModulesGroup->setObjectName("ModulesGroup");
    auto* lay = new QVBoxLayout(ModulesGroup);
    PageControl1 = new QTabWidget(ModulesGroup);
    PageControl1->setObjectName("PageControl1");
    std::array<QGridLayout*, 5> grids{};
    std::array<int, 5> counts{};
    for (int t = 0; t < 5; ++t) {
        auto* page = new QWidget;
        page->setObjectName(QString(kTabs[t]).remove('.').remove('/') + "Sheet");
        grids[t] = new QGridLayout(page);
        grids[t]->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        PageControl1->addTab(page, kTabs[t]);
    }
    auto tabIndex = [](const char* tab) {
        for (int t = 0; t < 5; ++t)
            if (std::string_view(tab) == kTabs[t]) return t;
        return 0;
    };
    auto place = [&](const char* tab, QPushButton* b) {
        int t = tabIndex(tab);
        b->setMinimumWidth(76);
        grids[t]->addWidget(b, counts[t] / 6, counts[t] % 6);
        ++counts[t];
    };

    for (const ModuleEntry& m : moduleTable()) {
        const ButtonSpec& spec = m.button;
        if (!spec.caption) continue;
        auto* b = new QPushButton(spec.caption, ModulesGroup);
        b->setObjectName(spec.objectName);
        if (*spec.hint) b->setToolTip(spec.hint);
        b->setEnabled(spec.startsEnabled);
        b->setVisible(spec.visible);
        // Through the handler's name, so each button runs the slot the table names.
        connect(b, &QPushButton::clicked, this,
                [this, h = spec.handler] { QMetaObject::invokeMethod(this, h); });
        moduleButtons.push_back(b);
        if (spec.visible) place(spec.tab, b);
    }
    for (const DisabledButton& d : disabledButtons()) {
        auto* b = new QPushButton(d.caption);
        b->setObjectName(d.caption);
        b->setEnabled(false);
        place(d.tab, b);
    }
    lay->addWidget(PageControl1);

    auto* rowButtons = new QHBoxLayout;
    delbutton = new QPushButton("DELETE", ModulesGroup);
    delbutton->setObjectName("delbutton");
    ClearSeqButt = new QPushButton("CLR ALL", ModulesGroup);
    ClearSeqButt->setObjectName("ClearSeqButt");
    AddButt = new QPushButton("ADD", ModulesGroup);
    AddButt->setObjectName("AddButt");
    rowButtons->addWidget(delbutton);
    rowButtons->addWidget(ClearSeqButt);
    rowButtons->addStretch(1);
    rowButtons->addWidget(AddButt);
    lay->addLayout(rowButtons);
    connect(delbutton, &QPushButton::clicked, this, &TProcessingForm::delbuttonClick);
    connect(ClearSeqButt, &QPushButton::clicked, this, &TProcessingForm::ClearSeqButtClick);
    connect(AddButt, &QPushButton::clicked, this, &TProcessingForm::AddClick);
}

void TProcessingForm::buildEditor() {
    Editor = new QGroupBox("Module Parameters", this);
    Editor->setObjectName("Editor");
    auto* lay = new QHBoxLayout(Editor);
    auto* fields = new QVBoxLayout;
    fields->setAlignment(Qt::AlignTop);
    lay->addLayout(fields, 0);

    auto labelled = [&](const char* name, const QString& label, QWidget* control) {
        auto* g = new QWidget(Editor);
        g->setObjectName(name);
        auto* h = new QHBoxLayout(g);
        h->setContentsMargins(0, 0, 0, 0);
        auto* l = new QLabel(label, g);
        l->setMinimumWidth(150);
        h->addWidget(l);
        control->setParent(g);
        h->addWidget(control, 1);
        fields->addWidget(g);
        return std::pair{g, l};
    };

    FilterTypeBox = new QComboBox;
    FilterTypeBox->setObjectName("FilterTypeBox");
    for (const char* t : filterTypeNames()) FilterTypeBox->addItem(t);
    FilterTypeGroup = labelled("FilterTypeGroup", "Filter type:", FilterTypeBox).first;
    TaperBox = new QComboBox;
    TaperBox->setObjectName("TaperBox");
    for (const char* t : taperNames()) TaperBox->addItem(t);
    TaperGroup = labelled("TaperGroup", "Tapering:", TaperBox).first;
    DeconTypeBox = new QComboBox;
    DeconTypeBox->setObjectName("DeconTypeBox");
    for (const char* t : deconTypeNames()) DeconTypeBox->addItem(t);
    DeconTypeGroup = labelled("DeconTypeGroup", "Decon type:", DeconTypeBox).first;

    PictureGroup = new QWidget(Editor);
    PictureGroup->setObjectName("PictureGroup");
    {
        auto* g = new QGridLayout(PictureGroup);
        g->setContentsMargins(0, 0, 0, 0);
        LowCutLabel = new QLabel(PictureGroup);
        LowCutEdit = new QLineEdit(PictureGroup);
        LowCutEdit->setObjectName("LowCutEdit");
        HighCutLabel = new QLabel(PictureGroup);
        HighCutEdit = new QLineEdit(PictureGroup);
        HighCutEdit->setObjectName("HighCutEdit");
        FilterImage = new QLabel(PictureGroup);
        FilterImage->setObjectName("FilterImage");
        FilterImage->setFixedSize(filterPicture(0).size());
        g->addWidget(LowCutLabel, 0, 0);
        g->addWidget(LowCutEdit, 1, 0);
        g->addWidget(FilterImage, 0, 1, 3, 1);
        g->addWidget(HighCutLabel, 0, 2);
        g->addWidget(HighCutEdit, 1, 2);
        LowCutEdit->setMaximumWidth(80);
        HighCutEdit->setMaximumWidth(80);
    }
    fields->addWidget(PictureGroup);

    for (int i = 0; i < 4; ++i) {
        ParamEdits[i] = new QLineEdit;
        ParamEdits[i]->setObjectName(QString("ParamEdit%1").arg(i + 1));
        auto [g, l] =
            labelled(QString("EditGroup%1").arg(i + 1).toLatin1().constData(), "", ParamEdits[i]);
        EditGroups[i] = g;
        ParamLabels[i] = l;
        connect(ParamEdits[i], &QLineEdit::textEdited, this,
                [this, i](const QString& t) { editor_.state().edits[i].text = t.toStdString(); });
    }

    ResampleSpin = new QSpinBox;
    ResampleSpin->setObjectName("ResampleSpin");
    ResampleSpin->setRange(SequenceEditor::kResampleMin, SequenceEditor::kResampleMax);
    ResampleGroup = labelled("ResampleGroup", "Resample by", ResampleSpin).first;
    CheckGroup = new QWidget(Editor);
    CheckGroup->setObjectName("CheckGroup");
    {
        auto* h = new QHBoxLayout(CheckGroup);
        h->setContentsMargins(0, 0, 0, 0);
        ParamCheck = new QCheckBox(CheckGroup);
        ParamCheck->setObjectName("ParamCheck");
        h->addWidget(ParamCheck);
    }
    fields->addWidget(CheckGroup);
    fields->addStretch(1);

    TextViewer1 = new QTextBrowser(Editor);
    TextViewer1->setObjectName("TextViewer1");
    TextViewer1->setOpenLinks(true);
    lay->addWidget(TextViewer1, 1);

    connect(FilterTypeBox, &QComboBox::currentIndexChanged, this,
            &TProcessingForm::FilterTypeBoxChange);
    connect(DeconTypeBox, &QComboBox::currentIndexChanged, this,
            &TProcessingForm::DeconTypeBoxChange);
    connect(TaperBox, &QComboBox::currentIndexChanged, this,
            [this](int i) { editor_.state().taper = i; });
    connect(LowCutEdit, &QLineEdit::textEdited, this,
            [this](const QString& t) { editor_.state().lowCut.text = t.toStdString(); });
    connect(HighCutEdit, &QLineEdit::textEdited, this,
            [this](const QString& t) { editor_.state().highCut.text = t.toStdString(); });
    connect(ResampleSpin, &QSpinBox::valueChanged, this,
            [this](int v) { editor_.state().resampleBy = v; });
    connect(ParamCheck, &QCheckBox::toggled, this,
            [this](bool on) { editor_.state().checked = on; });
}

QPixmap TProcessingForm::filterPicture(int index) {
    const int w = 120, h = 64, left = 8, right = w - 16, top = 8, base = h - 12;
    QPixmap pm(w, h);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const int span = right - left;
    auto x = [&](double f) { return left + f * span; };
    QPainterPath shape;
    shape.moveTo(left, base);
    switch (index) {
    case 0: // band pass
        shape.lineTo(x(0.18), base);
        shape.lineTo(x(0.32), top);
        shape.lineTo(x(0.68), top);
        shape.lineTo(x(0.82), base);
        break;
    case 1: // high pass
        shape.lineTo(x(0.3), base);
        shape.lineTo(x(0.5), top);
        shape.lineTo(right, top);
        shape.lineTo(right, base);
        break;
    case 2: // low pass
        shape.lineTo(left, top);
        shape.lineTo(x(0.5), top);
        shape.lineTo(x(0.7), base);
        break;
    default: // notch
        shape.lineTo(left, top);
        shape.lineTo(x(0.4), top);
        shape.lineTo(x(0.5), base - 2);
        shape.lineTo(x(0.6), top);
        shape.lineTo(right, top);
        shape.lineTo(right, base);
        break;
    }
    shape.closeSubpath();
    p.fillPath(shape, QColor(150, 190, 235));
    p.setPen(QPen(QColor(20, 60, 140), 1.5));
    p.drawPath(shape);
    p.setPen(QPen(Qt::black, 1));
    const int axisEnd = w - 4;
    p.drawLine(left, base, axisEnd, base); // frequency axis
    p.drawLine(left, base, left, top - 4);
    p.drawLine(axisEnd - 4, base - 3, axisEnd, base);
    p.drawLine(axisEnd - 4, base + 3, axisEnd, base);
    QFont f = p.font();
    f.setPixelSize(9);
    p.setFont(f);
    p.drawText(QRect(axisEnd - 10, base + 2, 10, 10), Qt::AlignCenter, "f");
    return pm;
}

// --- showing the editor and the table ---

void TProcessingForm::showEditorState() {
    const EditorState& s = editor_.state();
    Editor->setTitle(q(s.title));
    FilterTypeGroup->setVisible(s.filterTypeVisible);
    TaperGroup->setVisible(s.taperVisible);
    DeconTypeGroup->setVisible(s.deconTypeVisible);
    {
        QSignalBlocker b1(FilterTypeBox), b2(TaperBox), b3(DeconTypeBox);
        FilterTypeBox->setCurrentIndex(s.filterType);
        TaperBox->setCurrentIndex(s.taper);
        DeconTypeBox->setCurrentIndex(s.deconType);
    }
    for (int i = 0; i < 4; ++i) {
        EditGroups[i]->setVisible(s.edits[i].visible);
        ParamLabels[i]->setText(q(s.edits[i].label));
        ParamEdits[i]->setText(q(s.edits[i].text));
    }
    PictureGroup->setVisible(s.pictureVisible);
    FilterImage->setPixmap(filterPicture(s.picture));
    LowCutLabel->setText(q(s.lowCut.label));
    LowCutLabel->setVisible(s.lowCut.visible);
    LowCutEdit->setVisible(s.lowCut.visible);
    LowCutEdit->setText(q(s.lowCut.text));
    HighCutLabel->setText(q(s.highCut.label));
    HighCutLabel->setVisible(s.highCut.visible);
    HighCutEdit->setVisible(s.highCut.visible);
    HighCutEdit->setText(q(s.highCut.text));
    ResampleGroup->setVisible(s.resampleVisible);
    {
        QSignalBlocker b(ResampleSpin);
        ResampleSpin->setValue(s.resampleBy);
    }
    CheckGroup->setVisible(s.checkVisible);
    ParamCheck->setText(q(s.checkLabel));
    {
        QSignalBlocker b(ParamCheck);
        ParamCheck->setChecked(s.checked);
    }
    showHelp(s.helpPage);
}

void TProcessingForm::showHelp(const std::string& page) {
    if (page == shownHelp_) return;
    shownHelp_ = page;
    if (page.empty()) {
        TextViewer1->clear();
        return;
    }
    if (const QUrl url = helpPageUrl(page); !url.isEmpty()) {
        TextViewer1->setSource(url);
        return;
    }
    const std::string path = helpPagePath(page);
    TextViewer1->setPlainText(
        path.empty() ? "No help page: HOME is not set."
                     : QString("No help page for this module (%1 not found).").arg(q(path)));
}

void TProcessingForm::refreshGrid() {
    refreshing_ = true;
    const SequenceTable& t = session_.sequence;
    QStringList header;
    for (int c = 0; c < SequenceTable::kCols; ++c) header << q(t.cell(0, c));
    ProcGrid->setHorizontalHeaderLabels(header);
    for (int r = 1; r < SequenceTable::kRows; ++r)
        for (int c = 0; c < SequenceTable::kCols; ++c) {
            QTableWidgetItem* item = ProcGrid->item(r - 1, c);
            QString text = q(t.cell(r, c));
            if (item->text() != text) item->setText(text);
        }
    refreshing_ = false;
}

int TProcessingForm::topSelectedRow() const {
    int top = -1;
    for (const auto& range : ProcGrid->selectedRanges())
        if (top < 0 || range.topRow() < top) top = range.topRow();
    if (top < 0) top = ProcGrid->currentRow();
    return top < 0 ? -1 : top + 1;
}

// --- module buttons ---

void TProcessingForm::moduleButtonClick(const char* handler) {
    const ModuleEntry* m = moduleByHandler(handler);
    if (!m) return;
    HideAllPanels();
    std::optional<std::string> file;
    if (m->button.dialog != FileDialogKind::None && chooseModuleFile)
        file = chooseModuleFile(m->button.dialog);
    const bool rms = session_.RMSFlag;
    editor_.select(*m, file);
    showEditorState();
    if (session_.RMSFlag && !rms) emit RMSFlagTicked();
}

#define TARNIX_MODULE_BUTTON(name)                                                                 \
    void TProcessingForm::name() {                                                                 \
        moduleButtonClick(#name);                                                                  \
    }
TARNIX_MODULE_BUTTON(AGCButtClick)
TARNIX_MODULE_BUTTON(LinButtClick)
TARNIX_MODULE_BUTTON(TVGButtClick)
TARNIX_MODULE_BUTTON(NormaButtClick)
TARNIX_MODULE_BUTTON(FilterButtClick)
TARNIX_MODULE_BUTTON(FFTFilterButtClick)
TARNIX_MODULE_BUTTON(Button1Click)
TARNIX_MODULE_BUTTON(Button3Click)
TARNIX_MODULE_BUTTON(DeconButtClick)
TARNIX_MODULE_BUTTON(RNFButtClick)
TARNIX_MODULE_BUTTON(HBFButtClick)
TARNIX_MODULE_BUTTON(DebiasButtClick)
TARNIX_MODULE_BUTTON(DervButtClick)
TARNIX_MODULE_BUTTON(MuteButtClick)
TARNIX_MODULE_BUTTON(ResamButtClick)
TARNIX_MODULE_BUTTON(TMIXClick)
TARNIX_MODULE_BUTTON(Button6Click)
TARNIX_MODULE_BUTTON(Button7Click)
TARNIX_MODULE_BUTTON(Button2Click)
TARNIX_MODULE_BUTTON(Button5Click)
TARNIX_MODULE_BUTTON(ASCIIWriteButtClick)
TARNIX_MODULE_BUTTON(WKORVA2BUTTClick)
TARNIX_MODULE_BUTTON(Button4Click)
TARNIX_MODULE_BUTTON(StatbuttClick)
TARNIX_MODULE_BUTTON(statrendbuttClick)
TARNIX_MODULE_BUTTON(AutostatbuttClick)
TARNIX_MODULE_BUTTON(POSMButtClick)
#undef TARNIX_MODULE_BUTTON

void TProcessingForm::FilterTypeBoxChange(int index) {
    editor_.FilterTypeChange(index);
    showEditorState();
}

void TProcessingForm::DeconTypeBoxChange(int index) {
    editor_.DeconTypeChange(index);
    showEditorState();
}

void TProcessingForm::HideAllPanels() {
    editor_.HideAllPanels();
    showEditorState();
}

// --- row buttons and the grid ---

void TProcessingForm::AddClick() {
    try {
        editor_.AddClick();
    } catch (const Error& e) {
        refreshGrid();
        showMessage(QString::fromUtf8(e.what()));
        return;
    }
    refreshGrid();
    showEditorState();
}

void TProcessingForm::delbuttonClick() {
    editor_.delbuttonClick(topSelectedRow());
    refreshGrid();
}

void TProcessingForm::ClearSeqButtClick() {
    editor_.ClearSeqButtClick();
    refreshGrid();
}

void TProcessingForm::ProcGridClick() {
    editor_.ProcGridClick(topSelectedRow());
}

void TProcessingForm::FormActivate() {
    editor_.FormActivate();
    refreshGrid();
    ProcGrid->setColumnWidth(0, 30);
    ProcGrid->setColumnWidth(1, 45);
}

void TProcessingForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TProcessingForm::done(int result) {
    HideAllPanels(); // FormClose
    QDialog::done(result);
}

// --- the sequence file ---

void TProcessingForm::SaveProcSequence1Click() {
    auto path = chooseSequenceFile ? chooseSequenceFile(true) : std::nullopt;
    if (!path) return;
    try {
        saveSequenceFile(session_.sequence, *path);
    } catch (const Error& e) {
        showMessage(QString::fromUtf8(e.what()));
    }
}

void TProcessingForm::LoadProcSequence1Click() {
    auto path = chooseSequenceFile ? chooseSequenceFile(false) : std::nullopt;
    if (!path) return;
    try {
        loadSequenceFile(session_.sequence, *path);
    } catch (const Error& e) {
        refreshGrid();
        showMessage(QString::fromUtf8(e.what()));
        return;
    }
    refreshGrid();
}

// --- default dialogs ---

std::optional<std::string> TProcessingForm::defaultModuleFile(FileDialogKind kind) {
    QFileDialog dlg(this);
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    QString key = "output";
    switch (kind) {
    case FileDialogKind::Mute:
        key = "picks";
        dlg.setWindowTitle("Open");
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(QFileDialog::ExistingFile);
        dlg.setNameFilters({"Pick Files (*.MUT *.mut *.DGT *.dgt)", "All Files (*)"});
        break;
    case FileDialogKind::Segy:
        dlg.setWindowTitle("Save");
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setNameFilters({"SEG-Y Files (*.sgy *.SGY *.seg *.SEG)", "All Files (*)"});
        dlg.setDefaultSuffix("sgy");
        break;
    case FileDialogKind::KorvaSave:
        dlg.setWindowTitle("Save");
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setNameFilter("Korva 2.0 Files (*.d02)");
        dlg.setDefaultSuffix("d02");
        break;
    case FileDialogKind::None:
        return std::nullopt;
    }
    const QStringList files = execRemembered(dlg, key);
    if (files.isEmpty()) return std::nullopt;
    return files.first().toStdString();
}

std::optional<std::string> TProcessingForm::defaultSequenceFile(bool save) {
    QFileDialog dlg(this, save ? "Save" : "Open");
    dlg.setObjectName(save ? "SaveSequenceDialog" : "LoadSequenceDialog");
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList files = execRemembered(dlg, "sequence");
    if (files.isEmpty()) return std::nullopt;
    return files.first().toStdString();
}

} // namespace tarnix
