// The Bitmaps page, the notebook and the XYZ map sampling.
#include "core/session.h"
#include "display/bitmap_readout.h"
#include "display/profile_picks.h"
#include "formats/bitmap_input.h"
#include "formats/format_table.h"
#include "navigation/map_box.h"
#include "ui/bmp_form.h"
#include "ui/map_form.h"
#include "ui/map_viewer_form.h"
#include "ui/notes_form.h"
#include "ui/profile_view.h"
#include "ui/tarnix_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTabWidget>

#include <cmath>
#include <cstring>

namespace tarnix {

void TTarnixForm::CreateaNotebook1Click() {
    if (forms.NotesForm) forms.NotesForm->CreateaNotebook1Click();
}

void TTarnixForm::Sample1Click() {
    TMapViewerForm* viewer = forms.MapViewerForm;
    TMapForm* limits = forms.MapForm;
    if (!viewer || !limits) return;
    // Refused before any file is made: there is nothing to sample.
    if (viewer->document().image().isNull()) {
        showError("No map is loaded to sample: open a bitmap in the map viewer first.");
        return;
    }
    std::string why;
    if (!MapBox::tryParse(session_.mapLimits, &why)) {
        limits->setStatus(QString::fromStdString("Map limits refused: " + why));
        limits->show();
        return;
    }
    const QString name = limits->runXyzDialog();
    if (name.isEmpty()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    guarded([&] { viewer->document().sampleXyz(name.toLocal8Bit().toStdString()); });
    QApplication::restoreOverrideCursor();
}

void TTarnixForm::importbmpClick() {
    session_.ZoomFactor = 1.0;
    runOpenCommand("BMP");
}

void TTarnixForm::showScannedProfile() {
    Session& s = session_;
    const BitmapInput* in = bitmapInput(s);
    if (!in) return;
    const RgbImage& img = *in->image();
    QImage picture(img.width, img.height, QImage::Format_RGB32);
    for (int y = 0; y < img.height; ++y)
        std::memcpy(picture.scanLine(y), img.pixels.data() + static_cast<size_t>(y) * img.width,
                    static_cast<size_t>(img.width) * 4);
    scannedPicture = picture;
    bitmapImage = picture;
    s.ZoomFactor = 1.0;
    Label2->setText(QString::fromStdString(zoomLabel(s.ZoomFactor)));
    showBitmap();
    PageControl1->setCurrentIndex(BitmapsPage);
    if (forms.BMPForm) {
        forms.BMPForm->refreshFromSession();
        forms.BMPForm->show();
        forms.BMPForm->raise();
    }
}

void TTarnixForm::SpeedButton10Click() {
    if (forms.BMPForm) {
        forms.BMPForm->refreshFromSession();
        forms.BMPForm->show();
    }
}

void TTarnixForm::Image2MouseMove(int x, int y) {
    if (!bitmapImage.valid(x, y)) return;
    PointTexts texts;
    if (!bitmapPointAttributes(session_, qRed(bitmapImage.pixel(x, y)), x, y, session_.ZoomFactor,
                               texts))
        return;
    setStatusPanel(1, QString::fromStdString(texts.image));
    setStatusPanel(2, QString::fromStdString(texts.profile));
    Edit3->setText(QString::fromStdString(session_.Edit3));
}

void TTarnixForm::Image2MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                  int y) {
    // A plain left press is no pick, as on the profile.
    if (button == Qt::LeftButton && !(shift & Qt::ShiftModifier)) return;
    Session& s = session_;
    DataArea area;
    if (!bitmapInput(s) || !bitmapDataArea(s, s.ZoomFactor, area)) return;
    if (x < area.left || x > area.right || y < area.top || y > area.bottom) return;
    Image2MouseMove(x, y);
    ProfilePickTarget& picks = profileView().picks();
    ++s.cursor.PickCount;
    if (picks.notebookShown()) picks.notebookBitmapPick(s);
    if (TwoDCheck->isChecked()) {
        const int shot = s.cursor.CursorShot;
        s.Edit4 = interactiveMappingText(s, shot);
        // A shot without a fix (NaN position) has no point on the map.
        const int entry = s.shotEntry(shot);
        if (picks.mapPlotting() && entry >= 0 &&
            !std::isnan(s.shotPosition[static_cast<size_t>(entry)][0]))
            picks.mapPlot(s.shotPosition[static_cast<size_t>(entry)][0],
                          s.shotPosition[static_cast<size_t>(entry)][1], shot);
    }
    QPainter p(&bitmapImage);
    p.setPen(penColor);
    p.drawLine(x - 3, y, x + 3, y);
    p.drawLine(x, y - 3, x, y + 3);
    p.end();
    showBitmap();
    refreshFromSession();
}

} // namespace tarnix
