#include "core/recent_files.h"

#include "core/numtext.h"

#include <algorithm>
#include <sstream>

namespace tarnix {

void addRecentFile(std::vector<RecentFile>& list, RecentFile entry) {
    std::erase_if(list, [&](const RecentFile& r) { return r.path == entry.path; });
    list.insert(list.begin(), std::move(entry));
    if (list.size() > static_cast<size_t>(kMaxRecentFiles)) list.resize(kMaxRecentFiles);
}

namespace {
// Texts are written without blanks: the sample interval and scalers are numbers.
std::string word(const std::string& s) {
    std::string w = trim(s);
    std::replace(w.begin(), w.end(), ' ', '_');
    return w;
}
} // namespace

std::string segyOptionsText(const SegyOptions& o) {
    std::ostringstream out;
    out << "order=" << o.SEGYRadio << " channels=" << o.channels() << " text=" << o.HeadType
        << " format=" << o.dataFormatCode << " interval=" << word(o.S_REdit)
        << " change=" << (o.ChangeBox ? 1 : 0) << " xscale=" << word(o.XEditscaler)
        << " yscale=" << word(o.YEditScaler) << " delay=" << o.Z_scaler;
    return out.str();
}

void applySegyOptionsText(const std::string& text, SegyOptions& o) {
    std::istringstream in(text);
    std::string item;
    while (in >> item) {
        const size_t eq = item.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = item.substr(0, eq), value = item.substr(eq + 1);
        long long v = 0;
        const bool isInt = tryParseInt(value, v);
        if (key == "order" && isInt && v >= 0 && v <= 2)
            o.SEGYRadio = int(v);
        else if (key == "channels" && isInt && v >= 1 && v <= 24)
            o.NumofChanRadio = int(v - 1);
        else if (key == "text" && isInt && (v == 0 || v == 1))
            o.HeadType = int(v);
        else if (key == "format" && isInt &&
                 (v == 0 || v == 1 || v == 2 || v == 3 || v == 5 || v == 8))
            o.dataFormatCode = int(v);
        else if (key == "interval")
            o.S_REdit = value;
        else if (key == "change" && isInt)
            o.ChangeBox = v != 0;
        else if (key == "xscale")
            o.XEditscaler = value;
        else if (key == "yscale")
            o.YEditScaler = value;
        else if (key == "delay" && isInt && (v == 0 || v == 1))
            o.Z_scaler = int(v);
    }
}

} // namespace tarnix
