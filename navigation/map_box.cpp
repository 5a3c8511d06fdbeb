#include "navigation/map_box.h"

#include "core/error.h"
#include "core/numtext.h"
#include "formats/reflectivity_file.h"
#include "navigation/nav_file.h"

#include <climits>
#include <cmath>
#include <fstream>
#include <sstream>

namespace tarnix {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view nextField(std::string_view line, size_t& pos) {
    while (pos < line.size() && isBlank(line[pos])) ++pos;
    const size_t start = pos;
    while (pos < line.size() && !isBlank(line[pos])) ++pos;
    return line.substr(start, pos - start);
}

} // namespace

std::optional<MapBox> MapBox::tryParse(const MapLimits& limits, std::string* message) {
    auto refuse = [&](const std::string& why) -> std::optional<MapBox> {
        if (message) *message = why;
        return std::nullopt;
    };
    MapBox b;
    const auto fields = boundaryFields(limits);
    double* decimals[4] = {&b.T, &b.B, &b.L, &b.R};
    int* ints[4] = {&b.xmin, &b.xmax, &b.ymin, &b.ymax};
    for (int i = 0; i < 8; ++i) {
        const std::string& text = *fields[i];
        if (i < 4) {
            // Finite as typed but beyond a double is no boundary either.
            long double v;
            if (!tryParseFloat(text, v) || !std::isfinite(static_cast<double>(v)))
                return refuse(std::string(kBoundaryFieldNames[i]) + " '" + text +
                              "' is not a number");
            *decimals[i] = static_cast<double>(v);
        } else {
            long long v;
            if (!tryParseInt(text, v) || v < INT_MIN || v > INT_MAX)
                return refuse(std::string(kBoundaryFieldNames[i]) + " '" + text +
                              "' is not a whole pixel number");
            *ints[i - 4] = static_cast<int>(v);
        }
    }
    if (b.T <= b.B) return refuse("Top must lie north of Bottom");
    // Eastings and northings are mapped as they are; degrees in either longitude
    // convention, and a box whose right edge reads west of its left edge crosses
    // the 0/360 (or 180) meridian.
    b.width = b.R - b.L;
    b.geographic = std::fabs(b.L) <= 360 && std::fabs(b.R) <= 360;
    if (b.geographic && b.width < 0) b.width += 360;
    if (b.width <= 0) return refuse("Right must lie east of Left");
    b.geographic = b.geographic && b.width <= 360;
    if (b.xmax == b.xmin) return refuse("X min and X max are the same pixel");
    if (b.ymax == b.ymin) return refuse("Y min and Y max are the same pixel");
    b.sx = b.width / (static_cast<double>(b.xmax) - b.xmin);
    b.sy = (b.T - b.B) / (static_cast<double>(b.ymax) - b.ymin);
    return b;
}

MapBox MapBox::parse(const MapLimits& limits) {
    std::string why;
    std::optional<MapBox> b = tryParse(limits, &why);
    if (!b) throw ConversionError("Map limits refused: " + why);
    return *b;
}

std::optional<MapPixel> MapBox::LongLatToYX(double lon, double lat) const {
    if (!std::isfinite(lon) || !std::isfinite(lat)) return std::nullopt;
    // The place of the longitude nearest the box's middle, whichever convention.
    double d = lon - L;
    if (geographic) {
        const double low = width / 2 - 180;
        if (d < low || d >= low + 360) d -= 360 * std::floor((d - low) / 360);
    }
    const long double fx = static_cast<long double>(d) / sx;
    const long double fy = static_cast<long double>(T - lat) / sy;
    constexpr long double kLimit = 1e9L;
    // Written to refuse NaN too: edges near the double's limits make 0/0 and inf/inf.
    if (!(std::fabs(fx) <= kLimit && std::fabs(fy) <= kLimit)) return std::nullopt;
    MapPixel p;
    p.x = static_cast<int>(roundHalfEven(fx) + xmin);
    p.y = static_cast<int>(roundHalfEven(fy) + ymin);
    return p;
}

GeoPoint MapBox::YXToLongLat(int yo, int xo) const {
    GeoPoint g;
    g.lon = xo * sx + L;
    if (geographic) {
        const bool signedConvention = L < 0 || R < 0;
        if (g.lon >= (signedConvention ? 180 : 360)) g.lon -= 360;
        if (g.lon < -180) g.lon += 360;
    }
    g.lat = T - yo * sy;
    return g;
}

MapReadout mapReadout(const MapLimits& limits, int x, int y) {
    MapReadout r;
    r.image = "Image: (" + std::to_string(x) + ", " + std::to_string(y) + ")";
    std::string why;
    const std::optional<MapBox> box = MapBox::tryParse(limits, &why);
    if (!box) {
        r.map = "Map limits refused: " + why;
        return r;
    }
    const int xo = x - box->xmin, yo = y - box->ymin;
    const GeoPoint g = box->YXToLongLat(yo, xo);
    r.lat = fixedText(g.lat, 8);
    r.lon = fixedText(g.lon, 8);
    const std::string xy = "   X/Y:" + std::to_string(xo) + " " + std::to_string(yo);
    // Inside the box: compared with its pixel extent, not with the borders.
    const long long spanX = static_cast<long long>(box->xmax) - box->xmin;
    const long long spanY = static_cast<long long>(box->ymax) - box->ymin;
    if (xo > 0 && xo < spanX && yo > 0 && yo < spanY)
        r.map = "Lat. : " + r.lat + "   Long.:" + r.lon + xy;
    else
        r.map = "Lat. :    Long.:" + xy;
    return r;
}

void parsePointFile(std::string_view text, const std::string& path, std::vector<MapPoint>& points) {
    forEachLine(text, [&](std::string_view line, int lineNo) {
        size_t pos = 0;
        while (pos < line.size() && isBlank(line[pos])) ++pos;
        if (pos == line.size()) return;
        // The label is the first word and the white space that ends it.
        const std::string_view label = nextField(line, pos);
        auto fail = [&](const std::string& what) {
            throw IoError(path + ": line " + std::to_string(lineNo) + ": " + what);
        };
        MapPoint p;
        p.label = std::string(label) + " ";
        double* values[2] = {&p.lon, &p.lat};
        const char* names[2] = {"longitude", "latitude"};
        for (int i = 0; i < 2; ++i) {
            const std::string_view w = nextField(line, pos);
            long double v;
            if (w.empty()) fail(std::string("the ") + names[i] + " is missing");
            if (!tryParseFloat(w, v))
                fail(std::string("the ") + names[i] + " '" + std::string(w) + "' is not a number");
            *values[i] = static_cast<double>(v);
        }
        points.push_back(std::move(p));
    });
}

LineFileKind lineFileKind(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return LineFileKind::None;
    const std::string ext = path.substr(dot);
    if (ext == ".NAV" || ext == ".nav") return LineFileKind::Navigation;
    if (ext == ".REF" || ext == ".ref") return LineFileKind::Reflectivity;
    return LineFileKind::None;
}

void readLineFile(const std::string& path, LineFileKind kind, MapLine& line) {
    const size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (const size_t dot = name.find_last_of('.'); dot != std::string::npos) name.resize(dot);
    line.name = name;
    line.points.clear();
    const std::string text = readWholeFile(path);
    if (kind == LineFileKind::Reflectivity) {
        std::vector<ReflectivityRecord> records;
        auto keep = [&] {
            line.points.reserve(records.size());
            for (const ReflectivityRecord& r : records)
                line.points.push_back({std::to_string(r.shot()), r.lon, r.lat});
        };
        try {
            parseReflectivityText(text, path, records);
        } catch (...) {
            keep();
            throw;
        }
        keep();
        return;
    }
    std::vector<NavFix> fixes;
    try {
        parseNavigation(text, path, fixes);
    } catch (...) {
        for (const NavFix& f : fixes) line.points.push_back({std::to_string(f.shot), f.lon, f.lat});
        throw;
    }
    line.points.reserve(fixes.size());
    for (const NavFix& f : fixes) line.points.push_back({std::to_string(f.shot), f.lon, f.lat});
}

long long sampleXyz(const MapBox& box, int bitmapWidth, int bitmapHeight,
                    const std::function<int(int x, int y)>& red, std::ostream& out) {
    long long written = 0;
    const int x0 = std::max(std::min(box.xmin, box.xmax), 0);
    const int x1 = std::min(std::max(box.xmin, box.xmax), bitmapWidth - 1);
    const int y0 = std::max(std::min(box.ymin, box.ymax), 0);
    const int y1 = std::min(std::max(box.ymin, box.ymax), bitmapHeight - 1);
    std::string line;
    for (int x = x0 + (x0 & 1); x <= x1; x += 2) {
        for (int y = y0 + (y0 & 1); y <= y1; y += 2) {
            const int z = 255 - red(x, y);
            if (z == 0 || z == 255) continue;
            const GeoPoint g = box.YXToLongLat(y - box.ymin, x - box.xmin);
            line = fixedText(g.lon, 8);
            line += ' ';
            line += fixedText(g.lat, 8);
            line += ' ';
            line += std::to_string(z);
            line += '\n';
            out << line;
            ++written;
        }
    }
    if (!out) throw IoError("Cannot write the XYZ samples");
    return written;
}

} // namespace tarnix
