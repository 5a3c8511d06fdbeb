#include "cli/run_options.h"

#include "core/numtext.h"
#include "display/notebook_drawing.h"

#include <functional>
#include <vector>

namespace tarnix {

namespace {

int intArg(const std::string& opt, const std::string& v) {
    long long n;
    if (!tryParseInt(v, n) || n < INT32_MIN || n > INT32_MAX)
        throw UsageError(opt + ": '" + v + "' is not an integer");
    return static_cast<int>(n);
}

std::pair<int, int> rangeArg(const std::string& opt, const std::string& v) {
    auto colon = v.find(':');
    if (colon == std::string::npos) throw UsageError(opt + ": expected FROM:TO, got '" + v + "'");
    return {intArg(opt, v.substr(0, colon)), intArg(opt, v.substr(colon + 1))};
}

std::string intText(const std::string& opt, const std::string& v) {
    (void)intArg(opt, v);
    return v;
}

double decimalArg(const std::string& opt, const std::string& v) {
    long double d;
    if (!tryParseFloat(v, d)) throw UsageError(opt + ": '" + v + "' is not a number");
    return static_cast<double>(d);
}

bool onOff(const std::string& opt, const std::string& v) {
    if (v == "on") return true;
    if (v == "off") return false;
    throw UsageError(opt + ": expected on or off, got '" + v + "'");
}

struct Option {
    const char* name;
    bool takesValue;
    std::function<void(RunOptions&, const std::string& name, const std::string& value)> apply;
};

const std::vector<Option>& optionTable() {
    static const std::vector<Option> table = {
        {"--help", false, [](RunOptions& o, auto&, auto&) { o.help = true; }},
        {"--no-defaults", false, [](RunOptions& o, auto&, auto&) { o.noDefaults = true; }},
        {"--little-endian", false, [](RunOptions& o, auto&, auto&) { o.bigEndian = false; }},
        {"--big-endian", false, [](RunOptions& o, auto&, auto&) { o.bigEndian = true; }},
        {"--data-format", true,
         [](RunOptions& o, auto& n, auto& v) {
             const int c = intArg(n, v);
             if (c != 1 && c != 2 && c != 3 && c != 5 && c != 8)
                 throw UsageError(n + ": the format code is 1, 2, 3, 5 or 8");
             o.dataFormat = c;
         }},
        {"--channels", true,
         [](RunOptions& o, auto& n, auto& v) {
             int c = intArg(n, v);
             if (c < 1 || c > 24) throw UsageError(n + ": channels are 1 to 24");
             o.channels = c;
         }},
        {"--channel", true,
         [](RunOptions& o, auto& n, auto& v) {
             int c = intArg(n, v);
             if (c < 1 || c > 100000) throw UsageError(n + ": the channel is 1 to 100000");
             o.channel = c;
         }},
        {"--ascii-header", false, [](RunOptions& o, auto&, auto&) { o.asciiHeader = true; }},
        {"--sample-interval", true,
         [](RunOptions& o, auto& n, auto& v) {
             long double d;
             if (!tryParseFloat(v, d) || !(d > 0))
                 throw UsageError(n + ": '" + v + "' is not a positive number");
             o.sampleInterval = v;
         }},
        {"--x-scaler", true, [](RunOptions& o, auto& n, auto& v) { o.xScaler = intText(n, v); }},
        {"--y-scaler", true, [](RunOptions& o, auto& n, auto& v) { o.yScaler = intText(n, v); }},
        {"--mul", true, [](RunOptions& o, auto& n, auto& v) { o.mul = intText(n, v); }},
        {"--add", true, [](RunOptions& o, auto& n, auto& v) { o.add = intText(n, v); }},
        {"--multiping", true,
         [](RunOptions& o, auto& n, auto& v) { o.multipingDepth = intArg(n, v); }},
        {"--ascii-rate", true,
         [](RunOptions& o, auto& n, auto& v) {
             long double d;
             if (!tryParseFloat(v, d) || !(d > 0))
                 throw UsageError(n + ": '" + v + "' is not a rate above 0 kHz");
             o.asciiRate = v;
         }},
        {"--bin-samples", true,
         [](RunOptions& o, auto& n, auto& v) {
             const int k = intArg(n, v);
             if (k < 1 || k > 16384) throw UsageError(n + ": samples per sweep are 1 to 16384");
             o.binSamples = k;
         }},
        {"--bin-bits", true,
         [](RunOptions& o, auto& n, auto& v) {
             const int k = intArg(n, v);
             if (k != 8 && k != 16 && k != 24 && k != 32)
                 throw UsageError(n + ": bits per sample are 8, 16, 24 or 32");
             o.binBits = k;
         }},
        {"--bin-rate", true,
         [](RunOptions& o, auto& n, auto& v) {
             const int k = intArg(n, v);
             if (k < 1 || k > 100000)
                 throw UsageError(n + ": the sampling frequency is 1 to 100000 Hz");
             o.binRate = k;
         }},
        {"--bin-channels", true,
         [](RunOptions& o, auto& n, auto& v) {
             const int k = intArg(n, v);
             if (k < 1 || k > 24) throw UsageError(n + ": channels are 1 to 24");
             o.binChannels = k;
         }},
        {"--export-ascii", true, [](RunOptions& o, auto&, auto& v) { o.exportAscii = v; }},
        {"--window", true, [](RunOptions& o, auto& n, auto& v) { o.window = rangeArg(n, v); }},
        {"--shots", true, [](RunOptions& o, auto& n, auto& v) { o.shots = rangeArg(n, v); }},
        {"--info", false, [](RunOptions& o, auto&, auto&) { o.info = true; }},
        {"--textual-header", false, [](RunOptions& o, auto&, auto&) { o.textualHeader = true; }},
        {"--file-header", false, [](RunOptions& o, auto&, auto&) { o.fileHeader = true; }},
        {"--header", true, [](RunOptions& o, auto& n, auto& v) { o.headerShot = intArg(n, v); }},
        {"--dump-trace", true, [](RunOptions& o, auto& n, auto& v) { o.dumpShot = intArg(n, v); }},
        // Its second value, DIR, is taken by the parser below.
        {"--instruments", true,
         [](RunOptions& o, auto& n, auto& v) { o.instrumentsShot = intArg(n, v); }},
        {"--demo", false, [](RunOptions& o, auto&, auto&) { o.demo = true; }},
        {"--sequence", true, [](RunOptions& o, auto&, auto& v) { o.sequence = v; }},
        {"--image", true, [](RunOptions& o, auto&, auto& v) { o.image = v; }},
        {"--picks", true, [](RunOptions& o, auto&, auto& v) { o.picks = v; }},
        {"--pick-pen", true,
         [](RunOptions& o, auto& n, auto& v) {
             try {
                 (void)parsePickPen(v);
             } catch (const std::exception& e) {
                 throw UsageError(n + ": " + e.what());
             }
             o.pickPen = v;
         }},
        {"--report", false, [](RunOptions& o, auto&, auto&) { o.report = true; }},
        {"--nav", true, [](RunOptions& o, auto&, auto& v) { o.nav = v; }},
        {"--hdr-select", true,
         [](RunOptions& o, auto& n, auto& v) {
             int k = intArg(n, v);
             if (k < 1 || k > 100000) throw UsageError(n + ": the fix interval is 1 to 100000");
             o.hdrSelect = k;
         }},
        {"--extract-nav", false, [](RunOptions& o, auto&, auto&) { o.extractNav = true; }},
        {"--import-nav", true, [](RunOptions& o, auto&, auto& v) { o.importNav.push_back(v); }},
        {"--save-nav", true, [](RunOptions& o, auto&, auto& v) { o.saveNav = v; }},
        {"--palette", true, [](RunOptions& o, auto& n, auto& v) { o.palette = intArg(n, v); }},
        {"--gain", true, [](RunOptions& o, auto& n, auto& v) { o.gain = intArg(n, v); }},
        {"--nvp", true, [](RunOptions& o, auto& n, auto& v) { o.nvp = intArg(n, v); }},
        {"--rep", true, [](RunOptions& o, auto& n, auto& v) { o.rep = intArg(n, v); }},
        {"--grid", true, [](RunOptions& o, auto& n, auto& v) { o.grid = intArg(n, v); }},
        {"--shot-labels", true,
         [](RunOptions& o, auto& n, auto& v) { o.shotLabels = intArg(n, v); }},
        {"--time-labels", true,
         [](RunOptions& o, auto& n, auto& v) { o.timeLabels = intArg(n, v); }},
        {"--sound-speed", true,
         [](RunOptions& o, auto& n, auto& v) { o.soundSpeed = intArg(n, v); }},
        {"--depth-labels", true,
         [](RunOptions& o, auto& n, auto& v) { o.depthLabels = onOff(n, v); }},
        {"--line-name", true, [](RunOptions& o, auto& n, auto& v) { o.lineName = onOff(n, v); }},
        // Their second values, OUT, are taken by the parser below.
        {"--time-slice", true,
         [](RunOptions& o, auto& n, auto& v) { o.timeSliceLevel = intText(n, v); }},
        {"--ref-curve", true, [](RunOptions& o, auto&, auto& v) { o.refCurve = v; }},
        {"--map", true, [](RunOptions& o, auto&, auto& v) { o.map = v; }},
        {"--bnd", true, [](RunOptions& o, auto&, auto& v) { o.bnd = v; }},
        {"--plot-nav", true,
         [](RunOptions& o, auto&, auto& v) { o.plotLines.emplace_back(false, v); }},
        {"--plot-ref", true,
         [](RunOptions& o, auto&, auto& v) { o.plotLines.emplace_back(true, v); }},
        {"--plot-xy", true, [](RunOptions& o, auto&, auto& v) { o.plotXy = v; }},
        {"--label-spacing", true,
         [](RunOptions& o, auto& n, auto& v) {
             const int k = intArg(n, v);
             if (k < 1 || k > 1000000) throw UsageError(n + ": the label spacing is 1 to 1000000");
             o.labelSpacing = k;
         }},
        {"--point-spacing", true,
         [](RunOptions& o, auto& n, auto& v) {
             const int k = intArg(n, v);
             if (k < 1 || k > 1000) throw UsageError(n + ": the point spacing is 1 to 1000");
             o.pointSpacing = k;
         }},
        {"--connect-points", false, [](RunOptions& o, auto&, auto&) { o.connectPoints = true; }},
        {"--map-image", true, [](RunOptions& o, auto&, auto& v) { o.mapImage = v; }},
        {"--map-xyz", true, [](RunOptions& o, auto&, auto& v) { o.mapXyz = v; }},
        {"--map-point", true,
         [](RunOptions& o, auto& n, auto& v) { o.mapPoint = {decimalArg(n, v), 0.0}; }},
    };
    return table;
}

} // namespace

RunOptions parseRunOptions(int argc, char** argv) {
    RunOptions o;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            o.files.push_back(arg);
            continue;
        }
        std::string value;
        bool inlineValue = false;
        if (auto eq = arg.find('='); eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
            inlineValue = true;
        }
        const Option* found = nullptr;
        for (const auto& opt : optionTable())
            if (arg == opt.name) found = &opt;
        if (!found) throw UsageError("unknown option " + arg);
        if (found->takesValue && !inlineValue) {
            if (i + 1 >= argc) throw UsageError(arg + " needs a value");
            value = argv[++i];
        } else if (!found->takesValue && inlineValue) {
            throw UsageError(arg + " takes no value");
        }
        found->apply(o, arg, value);
        if (arg == "--instruments") {
            if (i + 1 >= argc) throw UsageError(arg + " needs SHOT and DIR");
            o.instrumentsDir = argv[++i];
        }
        if (arg == "--time-slice" || arg == "--ref-curve") {
            if (i + 1 >= argc)
                throw UsageError(arg + (arg == "--time-slice" ? " needs LEVEL and OUT"
                                                              : " needs FILE.ref and OUT"));
            (arg == "--time-slice" ? o.timeSliceOut : o.refCurveOut) = argv[++i];
        }
        if (arg == "--map-point") {
            if (i + 1 >= argc) throw UsageError(arg + " needs LON and LAT");
            o.mapPoint->second = decimalArg(arg, argv[++i]);
        }
    }
    if (!o.files.empty()) o.file = o.files.front();
    if (o.files.size() > 1 && !o.extractNav && !o.timeSliceLevel)
        throw UsageError("only one FILE can be given ('" + o.files[1] + "')");
    if (o.extractNav &&
        (o.runs() || o.saveNav || !o.importNav.empty() || o.info || o.textualHeader ||
         o.fileHeader || o.headerShot || o.dumpShot || o.instrumentsShot || o.sequence || o.shots))
        throw UsageError("--extract-nav only takes the SEG-Y options and --hdr-select");
    if ((o.picks || o.pickPen) && !o.image) throw UsageError("--picks and --pick-pen need --image");
    if (o.pickPen && !o.picks) throw UsageError("--pick-pen needs --picks");
    if (o.timeSliceLevel &&
        (o.runs() || o.extractNav || o.saveNav || !o.importNav.empty() || o.info ||
         o.textualHeader || o.fileHeader || o.headerShot || o.dumpShot || o.instrumentsShot ||
         o.sequence || o.shots || o.mapWork() || o.refCurve))
        throw UsageError("--time-slice only takes the SEG-Y options, --channel, --mul, --add and "
                         "--window");
    if (o.refCurve && (o.runs() || o.extractNav || !o.files.empty() || o.demo || o.mapWork()))
        throw UsageError("--ref-curve takes no FILE and no other work");
    if (o.demo && !o.file.empty()) throw UsageError("--demo takes the place of FILE");
    if ((o.mapImage || o.mapXyz || !o.plotLines.empty() || o.plotXy) && !o.map)
        throw UsageError("plotting on a map and --map-image/--map-xyz need --map BITMAP");
    if (!o.help && !o.demo && o.file.empty() && !o.mapWork() && !o.refCurve)
        throw UsageError("no FILE given");
    return o;
}

const char* runUsage() {
    return "Usage: tarnix-run [OPTION]... FILE\n"
           "       tarnix-run --map BITMAP [MAP OPTION]...\n"
           "       tarnix-run --extract-nav [SEG-Y OPTION]... FILE...\n"
           "       tarnix-run --time-slice LEVEL OUT [SEG-Y OPTION]... FILE...\n"
           "       tarnix-run --ref-curve FILE.ref OUT\n"
           "Open a seismic line as the open command does, confirm the SEG-Y options\n"
           "and the shot selection with the settings given, and print what is asked.\n"
           "\n"
           "SEG-Y options:\n"
           "  --little-endian, --big-endian\n"
           "                          byte order of the file (default: detect it from the\n"
           "                          binary header)\n"
           "  --data-format CODE      sample format instead of the binary header's: 1 IBM\n"
           "                          float, 2 32-bit integer, 3 16-bit integer, 5 IEEE\n"
           "                          float, 8 8-bit integer\n"
           "  --channels N            channels per shot, 1 to 24 (default 1)\n"
           "  --ascii-header          the textual header is ASCII (default EBCDIC)\n"
           "  --sample-interval US    use this sample interval (microseconds) instead of the "
           "header's\n"
           "  --x-scaler N, --y-scaler N  extra coordinate factors (default 1)\n"
           "  --multiping DEPTH       delay from the water depth in metres instead of the header\n"
           "ASCII tables (.TXT), raw binary (.BIN) and scanned profiles (.BMP):\n"
           "  --ascii-rate KHZ        sampling frequency of a .TXT table (default 2.0)\n"
           "  --bin-samples S  --bin-bits 8|16|24|32  --bin-rate HZ  --bin-channels C\n"
           "                          the Binary File Format dialog (defaults 100, 16, 1000, 1)\n"
           "  --bnd FILE              with a .BMP FILE: its calibration from FILE instead of\n"
           "                          the .bnd beside it\n"
           "Shot selection:\n"
           "  --channel C             channel read from multi-channel files (default 1)\n"
           "  --mul N, --add N        big-endian samples become (sample + ADD) x MUL\n"
           "  --shots FROM:TO         shot range (default 1 to the trace count)\n"
           "  --window START:END      time window in ms\n"
           "  --no-defaults           ignore $HOME/.tarnix_defaults\n"
           "Run (GO over the selected shots when --image, --report or --nav is given):\n"
           "  --demo                  use the built-in demo line as FILE\n"
           "  --sequence FILE         processing sequence file, as the editor saves it\n"
           "  --image FILE            the annotated profile, .bmp or .png\n"
           "  --picks FILE            draw the picks of a .MUT or .DGT notebook onto --image\n"
           "  --pick-pen COLOUR[,WIDTH[,STYLE]]\n"
           "                          their pen (default black,1,solid; width 1 to 5; style\n"
           "                          solid, dash, dot, dashdot or dashdotdot)\n"
           "  --report                print the processing memo\n"
           "  --nav FILE              save the navigation list after the run\n"
           "Navigation:\n"
           "  --hdr-select K          a navigation row every K shots (default 10)\n"
           "  --extract-nav           write <base>.NAV beside every SEG-Y FILE from its trace\n"
           "                          headers (several FILEs allowed), and nothing else\n"
           "  --import-nav FILE       import a navigation file after opening (repeatable,\n"
           "                          in order; sets the fix interval to 1)\n"
           "  --save-nav OUT          save the navigation list at the end (after the run\n"
           "                          if one is asked for; starts none itself)\n"
           "Time slices and reflectivity:\n"
           "  --time-slice LEVEL OUT  write the amplitude of sample LEVEL of the time window\n"
           "                          (from 1) of every trace of every SEG-Y FILE, with its\n"
           "                          position, to the table OUT, and nothing else\n"
           "  --ref-curve FILE.ref OUT\n"
           "                          the Reflectivity page's curve of FILE.ref as an image,\n"
           "                          .bmp or .png; prints MAX and MIN\n"
           "Display settings (ranges as in the Display window):\n"
           "  --palette 0..8  --gain 1..10  --nvp PIXELS  --rep 1..10  --grid 0..10\n"
           "  --shot-labels N  --time-labels N  --sound-speed M/S\n"
           "  --depth-labels on|off  --line-name on|off\n"
           "Output:\n"
           "  --info                  file name, NumTraces, NumSamples, SampleRate, Delay,\n"
           "                          byte order and data format\n"
           "  --textual-header        the 45 lines of the textual header display\n"
           "  --file-header           the 14 rows of the KORVA file header grid (.D02, .D05),\n"
           "                          cells separated by a tab\n"
           "  --header SHOT           the 72-line header listing of trace SHOT (counted from 0)\n"
           "  --dump-trace SHOT       time and value of every sample of trace SHOT, processed\n"
           "                          by the sequence (for KORVA files SHOT is the scan number)\n"
           "  --instruments SHOT DIR  the oscilloscope, amplitude and phase spectra and\n"
           "                          autocorrelogram of trace SHOT, processed by the\n"
           "                          sequence, as PNG files shotSHOT_*.png in DIR\n"
           "  --export-ascii OUT      File > Export Ascii of the selected shots of a .D02 FILE\n"
           "Map viewer (no FILE needed):\n"
           "  --map BITMAP            open a map bitmap as the map viewer does, with its\n"
           "                          .bnd/.BND side file or else borders 1..width, 1..height\n"
           "  --bnd FILE              the map boundaries from FILE instead of the side file\n"
           "  --plot-nav FILE, --plot-ref FILE\n"
           "                          plot a navigation or reflectivity line (repeatable)\n"
           "  --plot-xy FILE          plot a point file (label, longitude, latitude)\n"
           "  --label-spacing N       a square and the shot number every N shots (default 100)\n"
           "  --point-spacing N       a small cross every N shots (default 1)\n"
           "  --connect-points        join each line's shot points\n"
           "  --map-image OUT         save the map with what was plotted, .bmp or .png\n"
           "  --map-point LON LAT     print the pixel x y of a position\n"
           "  --map-xyz OUT           write the map's XYZ samples\n"
           "  --help                  show this help\n"
           "\n"
           "Exit status: 0 success, 1 the file cannot be read, 2 bad arguments.\n";
}

} // namespace tarnix
