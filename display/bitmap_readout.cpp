#include "display/bitmap_readout.h"

#include "core/error.h"
#include "core/numtext.h"
#include "core/session.h"
#include "formats/bitmap_input.h"

namespace tarnix {

bool bitmapDataArea(const Session& s, double zoom, DataArea& area) {
    BitmapBox b;
    try {
        b = BitmapBox::parse(s.bmp);
    } catch (const ConversionError&) {
        return false;
    }
    auto scaled = [zoom](int v) {
        return static_cast<int>(truncate(static_cast<long double>(v) * zoom));
    };
    area = {scaled(b.ymin), scaled(b.ymax), scaled(b.xmin), scaled(b.xmax)};
    return true;
}

bool bitmapPointAttributes(Session& s, int red, int mouseX, int mouseY, double zoom,
                           PointTexts& out) {
    if (!s.input || !dynamic_cast<BitmapInput*>(s.input.get())) return false;
    DataArea area;
    if (!bitmapDataArea(s, zoom, area)) return false;
    const BitmapBox b = BitmapBox::parse(s.bmp);
    s.shots.StartShot.set(b.left);
    s.shots.EndShot.set(b.right);
    return calcPointAttributes(s, red, area, mouseY - area.top, mouseX - area.left, out);
}

} // namespace tarnix
