#include "formats/boundary_file.h"

#include "core/error.h"
#include "core/numtext.h"

#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace tarnix {

const char* const kBoundaryFieldNames[8] = {"Top",  "Bottom", "Left", "Right",
                                            "xmin", "xmax",   "ymin", "ymax"};

std::vector<std::string*> boundaryFields(MapLimits& m) {
    return {&m.Top, &m.Bottom, &m.Left, &m.Right, &m.xmin, &m.xmax, &m.ymin, &m.ymax};
}

std::vector<const std::string*> boundaryFields(const MapLimits& m) {
    return {&m.Top, &m.Bottom, &m.Left, &m.Right, &m.xmin, &m.xmax, &m.ymin, &m.ymax};
}

bool regularFileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw IoError("Cannot open " + path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw IoError("Cannot read " + path);
    return text;
}

void loadBoundaryFile(const std::string& path, MapLimits& m) {
    const std::string text = readWholeFile(path);
    std::vector<std::string> lines;
    forEachLine(text, [&](std::string_view l, int) {
        if (lines.size() < 8) lines.emplace_back(l);
    });
    if (lines.size() < 8)
        throw IoError(path + ": line " + std::to_string(lines.size() + 1) + " (" +
                      kBoundaryFieldNames[lines.size()] +
                      ") is missing; a boundary file has 8 lines");
    for (int i = 0; i < 8; ++i) {
        long double f;
        long long n;
        const bool ok = i < 4 ? tryParseFloat(lines[i], f) : tryParseInt(lines[i], n);
        if (!ok)
            throw IoError(path + ": line " + std::to_string(i + 1) + " (" + kBoundaryFieldNames[i] +
                          ") '" + lines[i] + "' is not " + (i < 4 ? "a number" : "an integer"));
    }
    const auto fields = boundaryFields(m);
    for (int i = 0; i < 8; ++i) *fields[i] = lines[i];
}

void saveBoundaryFile(const std::string& path, const MapLimits& m) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw IoError("Cannot create " + path);
    for (const std::string* f : boundaryFields(m)) out << *f << '\n';
    out.close();
    if (!out) throw IoError("Cannot write " + path);
}

std::string withExtension(const std::string& path, const std::string& ext) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExt ? path.substr(0, dot) : path) + ext;
}

std::string boundarySidePath(const std::string& bitmapPath) {
    for (const char* ext : {".bnd", ".BND"})
        if (regularFileExists(withExtension(bitmapPath, ext)))
            return withExtension(bitmapPath, ext);
    return {};
}

} // namespace tarnix
