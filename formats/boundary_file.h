#pragma once
// Boundary (".bnd") side files of bitmaps: eight lines, one field text each,
// Top, Bottom, Left, Right, xmin, xmax, ymin, ymax. Map bitmaps carry latitude
// and longitude in the first four, scanned profiles time and shot; both keep
// them in a MapLimits. Also the small text-file helpers their readers share.
#include "core/settings.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarnix {

// The eight texts in boundary-file order.
std::vector<std::string*> boundaryFields(MapLimits& m);
std::vector<const std::string*> boundaryFields(const MapLimits& m);
// The field names in that order ("Top" ... "ymax").
extern const char* const kBoundaryFieldNames[8];

// All or nothing: fewer than eight lines, or a line that is not a number
// (decimal for the boundaries, integer for the borders), throws IoError naming
// the file and line and changes no field. CR line ends are accepted.
void loadBoundaryFile(const std::string& path, MapLimits& m);
void saveBoundaryFile(const std::string& path, const MapLimits& m);
// The bitmap's side file: the name with ".bnd", else ".BND"; empty when neither exists.
std::string boundarySidePath(const std::string& bitmapPath);
// The name with its extension replaced by `ext` (or `ext` appended when it has none).
std::string withExtension(const std::string& path, const std::string& ext);

bool regularFileExists(const std::string& path);
// Throws IoError naming the file when it cannot be read.
std::string readWholeFile(const std::string& path);

// Calls line(text, number) for every line, CR line ends stripped.
template <typename F> void forEachLine(std::string_view text, F&& line) {
    int lineNo = 0;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view l = text.substr(at, end - at);
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
        at = end + 1;
        line(l, ++lineNo);
    }
}

} // namespace tarnix
