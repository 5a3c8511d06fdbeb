#pragma once
// The profile as files other than BMP: an uncompressed TIFF of the picture, and a
// PDF page whose data area is the picture and whose labels, ticks and frame are
// vector drawing, so they print sharp at any size.
#include <QFont>
#include <QImage>
#include <string>

namespace tarnix {

class Session;

// Baseline TIFF, 8-bit RGB, one strip, little-endian. False when it cannot be written.
bool writeTiff24(const QImage& image, const std::string& path);

// One page the size of the picture (a point per pixel): the picture's data area
// as an image, the annotation of `s` as vector text and lines in `font`.
// Throws IoError naming the file when it cannot be written.
void writeProfilePdf(const Session& s, const QImage& picture, const QFont& font,
                     const std::string& path);

} // namespace tarnix
