#include "formats/bitmap_input.h"

#include "core/error.h"
#include "core/numtext.h"
#include "formats/boundary_file.h"
#include "formats/file_open.h"

#include <algorithm>

namespace tarnix {

BitmapBox BitmapBox::parse(const BitmapForm& form) {
    static const char* const kCaptions[8] = {
        "Start Sweep (msec)", "End Sweep (msec)", "Start Shot",     "End Shot",
        "X min (pixels)",     "X max (pixels)",   "Y min (pixels)", "Y max (pixels)"};
    BitmapBox b;
    int* out[8] = {&b.top, &b.bottom, &b.left, &b.right, &b.xmin, &b.xmax, &b.ymin, &b.ymax};
    const auto fields = boundaryFields(form.bounds);
    for (int i = 0; i < 8; ++i) {
        long long v;
        if (!tryParseInt(*fields[i], v) || v < -1000000000LL || v > 1000000000LL)
            throw ConversionError(std::string(kCaptions[i]) + " '" + *fields[i] +
                                  "' is not a whole number");
        *out[i] = static_cast<int>(v);
    }
    if (b.bottom <= b.top)
        throw ConversionError("End Sweep (" + std::to_string(b.bottom) +
                              " ms) must be later than Start Sweep (" + std::to_string(b.top) +
                              " ms)");
    if (b.xmax <= b.xmin || b.ymax <= b.ymin)
        throw ConversionError("The pixel box (X " + std::to_string(b.xmin) + " to " +
                              std::to_string(b.xmax) + ", Y " + std::to_string(b.ymin) + " to " +
                              std::to_string(b.ymax) + ") holds no pixel");
    return b;
}

BitmapInput::BitmapInput(std::string path, std::shared_ptr<const RgbImage> image)
    : path_(std::move(path)), image_(std::move(image)) {}

void BitmapInput::readRunTrace(Session& s, int shot) {
    const size_t entry = s.shotIndex(shot);
    SCAN_BMP(s, *image_, shot);
    s.navText[entry].clear();
}

bool BitmapInput::readSingleTrace(Session& s, int shot) {
    SCAN_BMP(s, *image_, shot);
    return true;
}

BitmapInput* bitmapInput(Session& s) {
    return dynamic_cast<BitmapInput*>(s.input.get());
}

void SCAN_BMP(Session& s, const RgbImage& image, int shot) {
    const BitmapBox b = BitmapBox::parse(s.bmp);
    const int sweep = s.EndSweep() - s.StartSweep();
    if (sweep <= 0)
        throw ConversionError("End Sweep (" + std::to_string(s.EndSweep()) +
                              " ms) must be later than Start Sweep (" +
                              std::to_string(s.StartSweep()) + " ms)");
    const long long x = static_cast<long long>(shot) - s.shots.StartShot() + b.xmin;
    if (x >= image.width)
        throw EndOfData("End of data: shot " + std::to_string(shot) + " is pixel column " +
                        std::to_string(x) + ", right of the image (" + std::to_string(image.width) +
                        " columns)");
    const int rows = std::min(b.rows(), kReadSlots);
    s.SampleRate = static_cast<long double>(b.rows()) / sweep;
    const auto hints = s.zeros.takeForCopy();
    for (int j = 0; j < rows; ++j) {
        const long long y = static_cast<long long>(b.ymin) + 1 + j;
        s.current[static_cast<size_t>(j)] =
            image.contains(static_cast<int>(x), static_cast<int>(y))
                ? 255 - image.red(static_cast<int>(x), static_cast<int>(y))
                : 0;
    }
    writeWindowZeros(s, rows, kReadSlots, hints.vouched);
    s.NumSamples = rows;
    s.header.ShotNumber = shot;
    s.header.Delay = 0;
    s.Edit2 = delayText(s.header.Delay);
}

void loadBitmapParam(Session& s, const std::string& bndPath, int imageWidth, int imageHeight) {
    std::string refused;
    if (!bndPath.empty() && regularFileExists(bndPath)) {
        try {
            loadBoundaryFile(bndPath, s.bmp.bounds);
            s.bmp.statusmap = "BND File :" + bndPath;
            s.Edit4 = "BND File:" + bndPath;
            return;
        } catch (const Error& e) {
            refused = e.what();
        }
    }
    s.bmp.bounds = MapLimits{.Top = std::string("0"),
                             .Bottom = std::string("250"),
                             .Right = std::to_string(imageWidth - 100),
                             .Left = std::string("1"),
                             .xmin = std::string("50"),
                             .xmax = std::to_string(imageWidth - 50),
                             .ymin = std::string("50"),
                             .ymax = std::to_string(imageHeight - 50)};
    if (refused.empty()) {
        s.bmp.statusmap = "BND File NOT FOUND!!!! ";
        s.Edit4 = "BND File: NOT FOUND !!!!";
    } else {
        s.bmp.statusmap = "BND File refused: " + refused;
        s.Edit4 = "BND File: refused (" + refused + ")";
    }
}

void saveBitmapParam(Session& s, const std::string& path) {
    if (path.empty()) return;
    saveBoundaryFile(path, s.bmp.bounds);
    s.bmp.statusmap = "BND File :" + path;
}

void applyBitmapForm(Session& s) {
    const BitmapBox b = BitmapBox::parse(s.bmp);
    RangedInt start = s.StartSweep, end = s.EndSweep;
    start.set(b.top);
    end.set(b.bottom);
    if (end() <= start())
        throw ConversionError("End Sweep " + std::to_string(b.bottom) + " ms and Start Sweep " +
                              std::to_string(b.top) + " ms leave no time between them");
    s.StartSweep = start;
    s.EndSweep = end;
    s.shots.StartShot.set(b.left);
    s.shots.EndShot.set(b.right);
    s.SampleRate = static_cast<long double>(b.rows()) / (s.EndSweep() - s.StartSweep());
    s.FullScale = 512;
    s.FullScaleFromData = false;
    s.header.Delay = 0;
    s.ImageRows = b.rows();
    s.ImageColumns = b.xmax - b.xmin;
    selectShotsOk(s);
}

void OPEN_BMP(Session& s) {
    auto image = std::make_shared<const RgbImage>(readBmpFile(s.InputFileName));
    s.input = std::make_unique<BitmapInput>(s.InputFileName, image);
    s.InputOpen = true;
    s.Edit4 = "Input File:" + s.InputFileName + " open";
    const std::string side = boundarySidePath(s.InputFileName);
    s.bmp.bndFileName = side.empty() ? withExtension(s.InputFileName, ".bnd") : side;
    loadBitmapParam(s, s.bmp.bndFileName, image->width, image->height);
    try {
        applyBitmapForm(s);
    } catch (const ConversionError& e) {
        // The window shows the texts; closing it applies them once mended.
        s.bmp.statusmap = e.what();
    }
    s.goEnabled = true;
}

} // namespace tarnix
