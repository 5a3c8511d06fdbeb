#include "core/defaults_file.h"

#include "core/error.h"
#include "core/numtext.h"
#include "core/session.h"

#include <array>
#include <clocale>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

namespace tarnix {

namespace {

// The settings of lines 1 to 10, in file order.
template <class S> auto valueFields(S& s) {
    auto& d = s.display;
    return std::array{
        &d.PaletteBar,     &d.NVP,        &d.Rep,      &d.Grid,     &d.ShotFreq, &d.TimeFreq,
        &d.SoundSpeedEdit, &s.StartSweep, &s.EndSweep, &d.DragWidth};
}

constexpr int kValueLines = 10;
static_assert(std::tuple_size_v<decltype(valueFields(std::declval<Session&>()))> == kValueLines);

// A typed text stays on its own line whatever it holds.
std::string oneLine(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == '\n' || c == '\r') c = ' ';
    return out;
}

} // namespace

std::string defaultsFilePath() {
    const char* home = std::getenv("HOME");
    if (!home || !*home) return {};
    return std::string(home) + "/.tarnix_defaults";
}

bool loadDefaults(Session& s, const std::string& path) {
    if (path.empty()) return false;
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    int lineNo = 0;
    for (int i = 0; i < kValueLines; ++i) {
        // Like a free-format read of one integer: blank lines are skipped, the
        // rest of the line after the number is not looked at.
        std::string word;
        while (word.empty()) {
            if (!std::getline(in, line))
                throw ConversionError("Defaults file " + path + " ends after line " +
                                      std::to_string(lineNo) + "; " + std::to_string(kValueLines) +
                                      " values were expected");
            ++lineNo;
            std::istringstream words(line);
            words >> word;
        }
        long long v = 0;
        if (!tryParseInt(word, v))
            throw ConversionError("Defaults file " + path + " line " + std::to_string(lineNo) +
                                  ": '" + word + "' is not a valid integer value");
        valueFields(s)[i]->set(v);
    }
    return true;
}

void saveDefaults(const Session& s, const std::string& path) {
    std::ofstream out(path, std::ios::trunc);
    if (!out) throw IoError("Cannot create the defaults file " + path);
    for (const RangedInt* f : valueFields(s)) out << f->value() << '\n';
    const MapLimits& ml = s.mapLimits;
    for (const std::string* t : {&ml.Top, &ml.Bottom, &ml.Right, &ml.Left})
        out << oneLine(*t) << '\n';
    out.close();
    if (!out) throw IoError("Cannot write the defaults file " + path);
}

bool INIT_VARIABLES(Session& s) {
    // The toolkit takes the user's locale at start-up; every number text of the
    // program and its files uses the decimal point whatever that locale says.
    std::setlocale(LC_NUMERIC, "C");
    return loadDefaults(s, defaultsFilePath());
}

void saveDefaultsFile(const Session& s) {
    const std::string path = defaultsFilePath();
    if (!path.empty()) saveDefaults(s, path);
}

} // namespace tarnix
