#include "ui/controls.h"

#include <QImage>
#include <QSignalBlocker>
#include <QSpinBox>

namespace tarnix {

QSpinBox* rangedSpin(QWidget* parent, const char* name, const RangedInt& r, int step,
                     const QString& hint) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setRange(r.min(), r.max());
    s->setSingleStep(step);
    s->setValue(r());
    if (!hint.isEmpty()) s->setToolTip(hint);
    return s;
}

void showRanged(QSpinBox* spin, const RangedInt& setting) {
    const int value = setting();
    if (spin->minimum() != setting.min() || spin->maximum() != setting.max()) {
        QSignalBlocker block(spin);
        spin->setRange(setting.min(), setting.max());
    }
    if (spin->value() != value) spin->setValue(value);
}

QPixmap crispPixmap(const QImage& image, qreal devicePixelRatio) {
    if (image.isNull() || !(devicePixelRatio > 1)) return QPixmap::fromImage(image);
    const QSize device(qRound(image.width() * devicePixelRatio),
                       qRound(image.height() * devicePixelRatio));
    QPixmap p =
        QPixmap::fromImage(image.scaled(device, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    p.setDevicePixelRatio(devicePixelRatio);
    return p;
}

} // namespace tarnix
