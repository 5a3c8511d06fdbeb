#pragma once
// Scanned profile images as input: column x of the bitmap is the trace of shot
// StartShot + (x - xmin), pixel rows ymin + 1 .. ymax its samples from
// StartSweep to EndSweep, the amplitude 255 - red (black 255, white 0).
// The calibration is the bitmap window's eight texts (Session::bmp), read as
// integers every time a column is scanned.
#include "core/session.h"
#include "formats/bmp_image.h"

#include <memory>
#include <string>

namespace tarnix {

// The calibration texts as numbers. Refused (ConversionError with the
// window's words) when a text is no integer, End Sweep is not after Start
// Sweep, or the pixel box is empty.
struct BitmapBox {
    int top = 0, bottom = 0, left = 0, right = 0;
    int xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    static BitmapBox parse(const BitmapForm& form);
    int rows() const { return ymax - ymin; }
};

class BitmapInput final : public InputFile {
public:
    BitmapInput(std::string path, std::shared_ptr<const RgbImage> image);
    const std::shared_ptr<const RgbImage>& image() const { return image_; }
    const std::string& path() const { return path_; }

    void rewind(Session&) override {}
    void readRunTrace(Session& s, int shot) override;
    // Read as the run reads it: the format has no separate single-trace read.
    bool readSingleTrace(Session& s, int shot) override;

private:
    std::string path_;
    std::shared_ptr<const RgbImage> image_;
};

// The bitmap input of the session, or null.
BitmapInput* bitmapInput(Session& s);

// SCAN_BMP: the column of `shot` into the current trace from slot 0 (the
// row below ymin), at most 16384 rows; pixels outside the image read as white.
// NumSamples and SampleRate follow the box and the main window's sweep.
// EndOfData for a column right of the image.
void SCAN_BMP(Session& s, const RgbImage& image, int shot);

// LoadParam: the eight texts from `bndPath` when it exists (status
// "BND File :" + name, Edit4 "BND File:" + name), else from the bitmap's size
// ("BND File NOT FOUND!!!! "). A side file that cannot be read is said in both
// texts and the bitmap's size is taken.
void loadBitmapParam(Session& s, const std::string& bndPath, int imageWidth, int imageHeight);
// Save Boundaries: the eight texts, status "BND File :" + name. Throws IoError.
void saveBitmapParam(Session& s, const std::string& path);

// FormClose of the bitmap window: sweep, shot range, SampleRate (one pixel row
// one sample), FullScale 512, no delay, ImageRows/ImageColumns, and the shot
// range confirmed (NumTraces, GO). Refuses (ConversionError) what parse refuses,
// changing nothing.
void applyBitmapForm(Session& s);

// OPEN_BMP on InputFileName: decodes the image, makes it the input, LoadParam
// from the ".bnd" beside it, applies that calibration and enables GO.
void OPEN_BMP(Session& s);

} // namespace tarnix
