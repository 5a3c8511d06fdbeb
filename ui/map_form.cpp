#include "ui/map_form.h"
#include "ui/file_dialogs.h"

#include "core/session.h"
#include "navigation/map_box.h"

#include <QButtonGroup>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace tarnix {

namespace {

QLineEdit* field(QWidget* parent, const char* name, std::string& text) {
    auto* e = new QLineEdit(QString::fromStdString(text), parent);
    e->setObjectName(name);
    QObject::connect(e, &QLineEdit::textChanged, e,
                     [&text](const QString& t) { text = t.toStdString(); });
    return e;
}

void showText(QLineEdit* e, const std::string& text) {
    if (e->text().toStdString() != text) e->setText(QString::fromStdString(text));
}

} // namespace

TMapForm::TMapForm(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    setObjectName("MapForm");
    setWindowTitle("Map Limits");
    setModal(false);
    MapLimits& m = session_.mapLimits;

    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName("MainMenu1");
    QMenu* file = MainMenu1->addMenu("&File");
    file->setObjectName("File1");
    auto add = [&](const char* name, const QString& caption, const char* handler,
                   void (TMapForm::*slot)()) {
        QAction* a = file->addAction(caption);
        a->setObjectName(name);
        a->setProperty("handler", QString(handler));
        connect(a, &QAction::triggered, this, slot);
    };
    add("LoadBNDFile1", "&Load Boundaries", "LoadBNDFile1Click", &TMapForm::LoadBNDFile1Click);
    add("SaveBoundaries1", "&Save Boundaries", "SaveBoundaries1Click",
        &TMapForm::SaveBoundaries1Click);
    file->addSeparator();
    add("Exit1", "E&xit", "Exit1Click", &TMapForm::Exit1Click);

    Boundaries = new QGroupBox("Boundaries", this);
    Boundaries->setObjectName("Boundaries");
    auto* bl = new QGridLayout(Boundaries);
    Top = field(Boundaries, "Top", m.Top);
    Bottom = field(Boundaries, "Bottom", m.Bottom);
    Left = field(Boundaries, "Left", m.Left);
    Right = field(Boundaries, "Right", m.Right);
    // Laid out as on a chart: top above, bottom below, left and right beside.
    bl->addWidget(new QLabel("Top", Boundaries), 0, 1, Qt::AlignCenter);
    bl->addWidget(Top, 1, 1);
    bl->addWidget(new QLabel("Left", Boundaries), 2, 0);
    bl->addWidget(new QLabel("Right", Boundaries), 2, 2);
    bl->addWidget(Left, 3, 0);
    bl->addWidget(Right, 3, 2);
    bl->addWidget(new QLabel("Bottom", Boundaries), 4, 1, Qt::AlignCenter);
    bl->addWidget(Bottom, 5, 1);

    ImageBorders = new QGroupBox("Image borders", this);
    ImageBorders->setObjectName("ImageBorders");
    auto* il = new QFormLayout(ImageBorders);
    xmin = field(ImageBorders, "xmin", m.xmin);
    xmax = field(ImageBorders, "xmax", m.xmax);
    ymin = field(ImageBorders, "ymin", m.ymin);
    ymax = field(ImageBorders, "ymax", m.ymax);
    il->addRow("X min", xmin);
    il->addRow("X max", xmax);
    il->addRow("Y min", ymin);
    il->addRow("Y max", ymax);

    Projection = new QGroupBox("Projection", this);
    Projection->setObjectName("Projection");
    auto* pl = new QGridLayout(Projection);
    projection_ = new QButtonGroup(Projection);
    const char* kinds[] = {"Linear", "UTM", "Direct Mercator", "Stereographic"};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QRadioButton(kinds[i], Projection);
        projection_->addButton(b, i);
        pl->addWidget(b, i % 2, i / 2);
    }
    projection_->button(0)->setChecked(true);
    Projection->setEnabled(false);

    Ok = new QPushButton("OK", this);
    Ok->setObjectName("Ok");
    Ok->setDefault(true);
    BitBtn1 = new QPushButton("Cancel", this);
    BitBtn1->setObjectName("BitBtn1");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Ok);
    buttons->addWidget(BitBtn1);

    statusmap = new QStatusBar(this);
    statusmap->setObjectName("statusmap");
    statusmap->setSizeGripEnabled(false);
    statusPanel_ = new QLabel(statusmap);
    statusPanel_->setObjectName("Panel0");
    statusmap->addWidget(statusPanel_, 1);

    auto* groups = new QHBoxLayout;
    groups->addWidget(Boundaries);
    groups->addWidget(ImageBorders);
    auto* main = new QVBoxLayout(this);
    main->setMenuBar(MainMenu1);
    main->addLayout(groups);
    main->addWidget(Projection);
    main->addLayout(buttons);
    main->addWidget(statusmap);

    connect(Ok, &QPushButton::clicked, this, &TMapForm::OkClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TMapForm::BitBtn1Click);
    refreshFromSession();
}

void TMapForm::refreshFromSession() {
    const MapLimits& m = session_.mapLimits;
    showText(Top, m.Top);
    showText(Bottom, m.Bottom);
    showText(Left, m.Left);
    showText(Right, m.Right);
    showText(xmin, m.xmin);
    showText(xmax, m.xmax);
    showText(ymin, m.ymin);
    showText(ymax, m.ymax);
    statusPanel_->setText(QString::fromStdString(session_.map.statusmap));
}

void TMapForm::setStatus(const QString& text) {
    session_.map.statusmap = text.toStdString();
    statusPanel_->setText(text);
}

QString TMapForm::status() const {
    return statusPanel_->text();
}

QString TMapForm::runFileDialog(bool save, const char* name, const QString& filter,
                                const QString& suffix) {
    QFileDialog dialog(this, save ? "Save" : "Open");
    dialog.setObjectName(name);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(suffix);
    if (!session_.map.bndFileName.empty() && suffix == "bnd")
        dialog.setDirectory(
            QFileInfo(QString::fromStdString(session_.map.bndFileName)).absolutePath());
    const QStringList files = execRemembered(dialog, suffix == "bnd" ? "boundaries" : suffix);
    return files.isEmpty() ? QString() : files.first();
}

QString TMapForm::runXyzDialog() {
    if (chooseXyzFile) return chooseXyzFile();
    // QFileDialog asks before overwriting unless told not to.
    return runFileDialog(true, "SaveXYZDialog", "XYZ Files (*.xyz)", "xyz");
}

void TMapForm::LoadBNDFile1Click() {
    const QString name =
        chooseBndOpenFile ? chooseBndOpenFile()
                          : runFileDialog(false, "OpenBndDialog", "Map Boundaries (*.bnd)", "bnd");
    if (name.isEmpty()) return;
    const std::string path = name.toLocal8Bit().toStdString();
    session_.map.bndFileName = path;
    try {
        loadBoundaryFile(path, session_.mapLimits);
    } catch (const std::exception& e) {
        // No field has changed.
        setStatus(QString::fromLocal8Bit(e.what()));
        return;
    }
    refreshFromSession();
    setStatus("BND File :" + name);
}

void TMapForm::SaveBoundaries1Click() {
    const QString name =
        chooseBndSaveFile ? chooseBndSaveFile()
                          : runFileDialog(true, "SaveBndDialog", "Map Boundaries (*.BND)", "bnd");
    if (name.isEmpty()) return;
    const std::string path = name.toLocal8Bit().toStdString();
    session_.map.bndFileName = path;
    try {
        saveBoundaryFile(path, session_.mapLimits);
    } catch (const std::exception& e) {
        setStatus(QString::fromLocal8Bit(e.what()));
        return;
    }
    setStatus("BND File :" + name);
}

void TMapForm::OkClick() {
    close();
}

void TMapForm::BitBtn1Click() {
    close();
}

void TMapForm::Exit1Click() {
    close();
}

} // namespace tarnix
