#pragma once
// Command-line options of tarnix-run. Each option is one entry of the table in
// run_options.cpp, so new options are added there without touching the rest.
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tarnix {

// A bad command line; main prints it with the usage text and exits with 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct RunOptions {
    std::string file;
    // every FILE argument (more than one only with --extract-nav and --time-slice)
    std::vector<std::string> files;
    bool help = false;
    bool noDefaults = false;

    // SEG-Y options window
    std::optional<bool> bigEndian; // unset: detect
    std::optional<int> dataFormat; // sample format code instead of the binary header's
    std::optional<int> channels;   // 1..24
    bool asciiHeader = false;
    std::optional<std::string> sampleInterval; // microseconds; ticks Change
    std::optional<std::string> xScaler, yScaler;
    std::optional<int> multipingDepth; // metres

    // Select Shots window
    std::optional<int> channel;
    std::optional<std::string> mul, add;
    std::optional<std::pair<int, int>> shots;

    // the ASCII and binary options windows
    std::optional<std::string> asciiRate; // kHz
    std::optional<int> binSamples, binBits, binRate, binChannels;

    // main window
    std::optional<std::pair<int, int>> window; // ms

    // the run (GO) and the Display window
    bool demo = false;
    std::optional<std::string> sequence, image, nav;
    std::optional<std::string> picks, pickPen; // notebook file drawn onto --image, its pen
    bool report = false;
    std::optional<int> palette, gain, nvp, rep, grid, shotLabels, timeLabels, soundSpeed;
    std::optional<bool> depthLabels, lineName;
    bool runs() const { return image || report || nav; }

    // navigation (Positioning page)
    std::optional<int> hdrSelect; // "Fix every (shots)"
    bool extractNav = false;
    std::vector<std::string> importNav; // in the order given
    std::optional<std::string> saveNav;

    // 3D > Time Slices: every FILE is a line of the slice
    std::optional<std::string> timeSliceLevel; // --time-slice LEVEL OUT
    std::string timeSliceOut;

    // the Reflectivity page (needs no FILE)
    std::optional<std::string> refCurve; // --ref-curve FILE.ref OUT
    std::string refCurveOut;

    // the map viewer (none of these needs a FILE)
    std::optional<std::string> map, bnd, plotXy, mapImage, mapXyz;
    std::vector<std::pair<bool, std::string>> plotLines; // in order; true: reflectivity
    std::optional<int> labelSpacing, pointSpacing;
    bool connectPoints = false;
    std::optional<std::pair<double, double>> mapPoint; // longitude, latitude
    bool mapWork() const { return bnd || mapWorkBesidesBnd(); }
    bool mapWorkBesidesBnd() const {
        return map || plotXy || mapImage || mapXyz || !plotLines.empty() || mapPoint;
    }

    // what to print
    bool info = false;
    bool textualHeader = false;
    bool fileHeader = false; // the "Tarnix File Header" grid of a record file
    std::optional<int> headerShot;
    std::optional<int> dumpShot;
    std::optional<int> instrumentsShot; // --instruments SHOT DIR
    std::optional<std::string> exportAscii;
    std::string instrumentsDir;
};

// Throws UsageError naming the offending argument.
RunOptions parseRunOptions(int argc, char** argv);
const char* runUsage();

} // namespace tarnix
