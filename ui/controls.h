#pragma once
// Controls bound to a ranged setting, shared by every window.
#include "core/ranged.h"

#include <QPixmap>
#include <QString>

class QImage;
class QSpinBox;
class QWidget;

namespace tarnix {

// A spin edit with its setting's range, step and value.
QSpinBox* rangedSpin(QWidget* parent, const char* name, const RangedInt& r, int step = 1,
                     const QString& hint = {});
// Shows the setting's range and value; a change of value runs the change
// handler, a change of range alone does not.
void showRanged(QSpinBox* spin, const RangedInt& setting);

// A bitmap for a label on a screen of `devicePixelRatio`: each image pixel
// becomes a block of device pixels without smoothing (a label would otherwise
// scale it up smoothly and blur every bar and line).
QPixmap crispPixmap(const QImage& image, qreal devicePixelRatio);

} // namespace tarnix
