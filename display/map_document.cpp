#include "display/map_document.h"

#include "core/error.h"
#include "core/numtext.h"
#include "core/session.h"
#include "display/profile_renderer.h"

#include <fstream>

namespace tarnix {

std::string MapDocument::open(const std::string& path, const std::string& bndPath) {
    QImage picture(QString::fromStdString(path));
    if (picture.isNull()) throw IoError("Cannot read the bitmap " + path);
    image_ = picture.convertToFormat(QImage::Format_RGB32);
    opened_ = true;
    const std::string side = bndPath.empty() ? boundarySidePath(path) : bndPath;
    MapLimits& m = s_.mapLimits;
    if (side.empty()) {
        m.xmin = "1";
        m.xmax = std::to_string(image_.width());
        m.ymin = "1";
        m.ymax = std::to_string(image_.height());
        s_.map.statusmap = "BND NOT found ";
        return "BND NOT Found";
    }
    loadBoundaryFile(side, m);
    s_.map.statusmap = "BND File :" + side;
    return "BND OK";
}

void MapDocument::New1Click() {
    MapLimits& m = s_.mapLimits;
    m.xmin = "0";
    m.ymin = "0";
    m.xmax = std::to_string(image_.width());
    m.ymax = std::to_string(image_.height());
}

void MapDocument::save(const std::string& path) const {
    if (image_.isNull()) throw IoError("No map bitmap is open");
    saveProfileImage(image_, path);
}

MapPlotter MapDocument::plotter(const MapBox& box) {
    MapPlotter p(image_, box, s_.mapPlot);
    p.setPenColour(penColour);
    p.setFont(font);
    return p;
}

std::vector<std::pair<LineFileKind, std::string>>
MapDocument::lineSelection(const std::vector<std::string>& names) {
    std::vector<std::pair<LineFileKind, std::string>> files;
    if (names.empty()) return files;
    const LineFileKind kind = lineFileKind(names.front());
    if (kind == LineFileKind::None) return files;
    for (const std::string& n : names) files.emplace_back(kind, n);
    return files;
}

int MapDocument::plotLines(const std::vector<std::pair<LineFileKind, std::string>>& files,
                           const std::function<void()>& pump) {
    if (image_.isNull()) throw IoError("No map bitmap is open");
    const MapBox box = MapBox::parse(s_.mapLimits); // once for every file
    MapPlotter p = plotter(box);
    int plotted = 0;
    struct ClearStop {
        Session& s;
        ~ClearStop() { s.StopRequested = false; }
    } clearStop{s_};
    MapLine line;
    for (size_t i = 0; i < files.size() && !s_.StopRequested; ++i) {
        if (i % 5 == 0 && pump) {
            pump();
            if (s_.StopRequested) break;
        }
        try {
            readLineFile(files[i].second, files[i].first, line);
        } catch (const IoError&) {
            s_.Edit4 = line.name;
            p.plotLine(line); // the fixes before the bad line
            throw;
        }
        s_.Edit4 = line.name;
        p.plotLine(line);
        ++plotted;
    }
    return plotted;
}

int MapDocument::plotPointFile(const std::string& path) {
    if (image_.isNull()) throw IoError("No map bitmap is open");
    const MapBox box = MapBox::parse(s_.mapLimits);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw IoError("Cannot open " + path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<MapPoint> points;
    MapPlotter p = plotter(box);
    s_.map.crossMode = true;
    try {
        parsePointFile(text, path, points);
    } catch (const IoError&) {
        p.plotPoints(points);
        s_.map.crossMode = false;
        throw;
    }
    p.plotPoints(points);
    s_.map.crossMode = false;
    return static_cast<int>(points.size());
}

bool MapDocument::plotShot(int shot, double lon, double lat, bool labelled) {
    if (image_.isNull()) return false;
    const MapBox box = MapBox::parse(s_.mapLimits);
    return plotter(box).DRAW_POINT_ONMAP(std::to_string(shot), lon, lat,
                                         labelled || s_.map.crossMode);
}

int MapDocument::pick(
    int x, int y,
    const std::function<int(const std::string& lon, const std::string& lat)>& addLine) {
    if (x < 0 || y < 0 || x > image_.width() || y > image_.height() || !addLine) return 0;
    // A line without coordinates would spoil the notebook's point file.
    if (s_.map.lonText.empty() || s_.map.latText.empty()) return 0;
    s_.map.crossMode = true;
    const int number = addLine(s_.map.lonText, s_.map.latText);
    long double lat, lon;
    if (number > 0 && tryParseFloat(s_.map.latText, lat) && tryParseFloat(s_.map.lonText, lon)) {
        if (const std::optional<MapBox> box = MapBox::tryParse(s_.mapLimits, nullptr))
            plotter(*box).DRAW_POINT_ONMAP(std::to_string(number), static_cast<double>(lon),
                                           static_cast<double>(lat), true);
    }
    s_.map.crossMode = false;
    return number;
}

long long MapDocument::sampleXyz(const std::string& path) const {
    if (image_.isNull()) throw ConversionError("No map is loaded to sample");
    const MapBox box = MapBox::parse(s_.mapLimits);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw IoError("Cannot create " + path);
    const QImage& img = image_;
    const long long n = tarnix::sampleXyz(
        box, img.width(), img.height(),
        [&img](int x, int y) {
            return qRed(reinterpret_cast<const QRgb*>(img.constScanLine(y))[x]);
        },
        out);
    out.close();
    if (!out) throw IoError("Cannot write " + path);
    return n;
}

} // namespace tarnix
