// tarnix-run: the headless command. It drives the same session and procedures
// as the windows: the open command, the SEG-Y options window's OK, the Select
// Shots window's OK and READ_A_TRACE.
#include "cli/run_options.h"
#include "core/defaults_file.h"
#include "core/error.h"
#include "core/numtext.h"
#include "core/session.h"
#include "display/instruments.h"
#include "display/map_document.h"
#include "display/notebook_drawing.h"
#include "display/profile_renderer.h"
#include "display/profile_run_hooks.h"
#include "display/reflectivity_curve.h"
#include "formats/ascii_reader.h"
#include "formats/bitmap_input.h"
#include "formats/demo_line.h"
#include "formats/file_open.h"
#include "formats/korva_reader.h"
#include "formats/segy_reader.h"
#include "formats/segy_samples.h"
#include "formats/trace_text.h"
#include "formats/xtf_reader.h"
#include "navigation/nav_extract.h"
#include "navigation/nav_file.h"
#include "navigation/reflectivity_view.h"
#include "navigation/time_slice.h"
#include "processing/demo_session.h"
#include "processing/processor.h"
#include "processing/sequence_file.h"

#include <QFont>
#include <QGuiApplication>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iostream>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace tarnix;

namespace {

// The options windows' controls as the user would set them before OK.
void applySegyOptions(const RunOptions& o, Session& s) {
    if (o.bigEndian)
        s.segy.SEGYRadio = *o.bigEndian ? SegyOptions::BigEndian : SegyOptions::LittleEndian;
    if (o.dataFormat) {
        s.segy.dataFormatCode = *o.dataFormat;
        s.segy.DataFormatRadio = segyDataFormatItem(*o.dataFormat);
    }
    if (o.channels) s.segy.NumofChanRadio = *o.channels - 1;
    if (o.asciiHeader) s.segy.HeadType = SegyOptions::Ascii;
    if (o.sampleInterval) {
        s.segy.ChangeBox = true;
        s.segy.S_REdit = *o.sampleInterval;
    }
    if (o.xScaler) s.segy.XEditscaler = *o.xScaler;
    if (o.yScaler) s.segy.YEditScaler = *o.yScaler;
    if (o.multipingDepth) {
        s.segy.Z_scaler = SegyOptions::Multiping;
        s.segy.waterDepth = *o.multipingDepth;
    }
    if (o.channel) s.shots.chan_to_display.set(*o.channel);
    if (o.mul) s.shots.MUL = *o.mul;
    if (o.add) s.shots.ADD = *o.add;
    if (o.window) {
        s.StartSweep.set(o.window->first);
        s.EndSweep.set(o.window->second);
    }
}

void applyDisplaySettings(const RunOptions& o, Session& s) {
    DisplaySettings& d = s.display;
    if (o.palette) d.PaletteBar.set(*o.palette);
    if (o.gain) d.Gain.set(*o.gain);
    if (o.nvp) d.NVP.set(*o.nvp);
    if (o.rep) d.Rep.set(*o.rep);
    if (o.grid) d.Grid.set(*o.grid);
    if (o.shotLabels) d.ShotFreq.set(*o.shotLabels);
    if (o.timeLabels) d.TimeFreq.set(*o.timeLabels);
    if (o.soundSpeed) d.SoundSpeedEdit.set(*o.soundSpeed);
    if (o.depthLabels) d.DlabelCheck = *o.depthLabels;
    if (o.lineName) d.LineNameLabelCheck = *o.lineName;
}

void printLines(const std::vector<std::string>& lines) {
    for (const auto& l : lines) std::cout << l << '\n';
}

// The map viewer's commands in the order a user would give them: open, plot
// lines, plot points, then save, sample and look up a position.
void runMap(const RunOptions& o, Session& s) {
    MapDocument map(s);
    map.font = QGuiApplication::font();
    if (o.labelSpacing) s.mapPlot.Labelspacing.set(*o.labelSpacing);
    if (o.pointSpacing) s.mapPlot.pointspacing.set(*o.pointSpacing);
    s.mapPlot.connectPoints = o.connectPoints;
    if (o.map) {
        map.open(*o.map, o.bnd.value_or(""));
    } else if (o.bnd) {
        loadBoundaryFile(*o.bnd, s.mapLimits);
    }
    if (!o.plotLines.empty()) {
        std::vector<std::pair<LineFileKind, std::string>> files;
        for (const auto& [ref, path] : o.plotLines)
            files.emplace_back(ref ? LineFileKind::Reflectivity : LineFileKind::Navigation, path);
        map.plotLines(files);
    }
    if (o.plotXy) map.plotPointFile(*o.plotXy);
    if (o.mapImage) map.save(*o.mapImage);
    if (o.mapXyz) map.sampleXyz(*o.mapXyz);
    if (o.mapPoint) {
        const MapBox box = MapBox::parse(s.mapLimits);
        const auto [lon, lat] = *o.mapPoint;
        const std::optional<MapPixel> p = box.LongLatToYX(lon, lat);
        auto between = [](int v, int a, int b) {
            return v >= std::min(a, b) && v <= std::max(a, b);
        };
        if (p && between(p->x, box.xmin, box.xmax) && between(p->y, box.ymin, box.ymax))
            std::cout << p->x << ' ' << p->y << '\n';
        else
            std::cout << floatText(lon) << ' ' << floatText(lat) << ": outside the map limits\n";
    }
}

// The notebook's picks on the run's profile, as opening the notebook draws them.
void drawPicks(const RunOptions& o, const Session& s, QImage& picture) {
    const NotebookKind kind = notebookKindOf(*o.picks);
    if (kind == NotebookKind::Plain)
        throw IoError(*o.picks + ": --picks needs a .MUT or .DGT notebook");
    const std::string text = readNotebookFile(*o.picks);
    ImageCanvas canvas(&picture);
    applyPickPen(canvas, o.pickPen ? parsePickPen(*o.pickPen) : PickPen{});
    if (drawNotebookPicks(canvas, s, text, kind) == 0)
        std::cerr << "tarnix-run: " << *o.picks << ": no picks drawn\n";
}

int run(const RunOptions& o) {
    auto session = std::make_unique<Session>();
    Session& s = *session;
    if (!o.noDefaults) {
        try {
            INIT_VARIABLES(s);
        } catch (const Error& e) {
            std::cerr << "tarnix-run: defaults file ignored: " << e.what() << '\n';
        }
    }

    if (o.hdrSelect) s.HdrSelect.set(*o.hdrSelect);
    if (o.extractNav) {
        applySegyOptions(o, s);
        std::vector<std::string> files = o.files;
        if (o.demo) {
            files = {demoLinePath()};
            if (!o.asciiHeader) s.segy.HeadType = SegyOptions::Ascii;
        }
        for (const std::string& f : files)
            if (formatOf(f) != InputFormat::Segy)
                std::cerr << "tarnix-run: " << f << ": not a SEG-Y name (.seg, .sgy), skipped\n";
        extractNavigation(s, files);
        return 0;
    }

    if (o.timeSliceLevel) {
        applySegyOptions(o, s);
        std::vector<std::string> files = o.files;
        if (o.demo) {
            files = {demoLinePath()};
            if (!o.asciiHeader) s.segy.HeadType = SegyOptions::Ascii;
        }
        const TimeSliceResult r = extractTimeSlice(s, files, *o.timeSliceLevel, o.timeSliceOut);
        std::cout << "Time slice " << o.timeSliceOut << ": " << r.lines << " lines from "
                  << files.size() << (files.size() == 1 ? " file\n" : " files\n");
        return 0;
    }

    if (o.refCurve) {
        const ReflectivityPage page = openReflectivityPage(s, *o.refCurve);
        std::cout << "MAX " << page.maxText << "\nMIN " << page.minText << '\n'
                  << "Lines: " << page.width() << '\n';
        const QImage image = reflectivityCurveImage(page);
        if (image.isNull())
            throw Error(page.error.empty() ? *o.refCurve + " holds no reflectivity line to draw"
                                           : page.error);
        saveProfileImage(image, o.refCurveOut);
        if (!page.error.empty()) throw IoError(page.error);
        return 0;
    }

    if (o.mapWork() && o.file.empty() && !o.demo) {
        runMap(o, s);
        std::cout.flush();
        return std::cout ? 0 : 1;
    }

    if (o.demo) {
        // Opened as the window opens it; the command line's options apply on top.
        openDemoLine(s, demoLinePath());
        applySegyOptions(o, s);
    } else {
        const InputFormat f = openCommand(s, o.file);
        if (!formatReadable(f))
            throw IoError(o.file + ": not a file tarnix-run can open (extension \"" +
                          upperExtension(o.file) + "\")");
        applySegyOptions(o, s);
        if (o.binSamples) s.binary.samples_per_sweep.set(*o.binSamples);
        if (o.binBits) s.binary.bits_per_sample.set(*o.binBits);
        if (o.binRate) s.binary.Sampling_frequency.set(*o.binRate);
        if (o.binChannels) s.binary.channelsIndex = *o.binChannels - 1;
        // The options window's OK, for a format that shows one.
        if (const FormatEntry& e = formatInfo(f); e.options != OptionsWindow::None) e.open(s);
        if (f == InputFormat::Ascii) {
            if (o.asciiRate) s.ascii.S_Redit = *o.asciiRate;
            asciiSelectOk(s);
        }
        if (f == InputFormat::Bitmap) {
            if (o.bnd) {
                const RgbImage& img = *bitmapInput(s)->image();
                if (!regularFileExists(*o.bnd)) throw IoError("Cannot open " + *o.bnd);
                loadBitmapParam(s, *o.bnd, img.width, img.height);
            }
            // Closing the bitmap window applies what it shows.
            applyBitmapForm(s);
            importSideNavigation(s, s.InputFileName);
        }
    }
    const std::vector<std::string> textualHeader = s.SEGYmemo;
    if (o.shots) {
        s.shots.StartShot.set(o.shots->first);
        s.shots.EndShot.set(o.shots->second);
    }
    selectShotsOk(s);
    // A format opened before the options applied shows the first shot read
    // with them (channel, window), as the Select Shots window does.
    if (!o.demo && s.input && formatInfo(formatOf(o.file)).options == OptionsWindow::None)
        s.input->readSingleTrace(s, s.shots.StartShot());
    for (const std::string& nav : o.importNav) IMPORT_NAV(s, nav);
    applyDisplaySettings(o, s);
    if (o.sequence) loadSequenceFile(s.sequence, *o.sequence);

    if (o.info) {
        std::cout << "File: " << s.InputFileName << '\n'
                  << "NumTraces: " << s.NumTraces << '\n'
                  << "NumSamples: " << s.NumSamples << '\n'
                  << "SampleRate: " << floatText(s.SampleRate) << '\n'
                  << "Delay: " << floatText(s.header.Delay) << '\n';
        if (SegyInput* in = segyInput(s)) {
            const SegyLayout& l = in->layout();
            std::cout << "Byte order: " << (l.bigEndian ? "big-endian" : "little-endian")
                      << (l.orderDetected ? " (detected)" : "") << '\n'
                      << "Data format: " << segyFormatText(l.formatCode)
                      << (l.formatChosen ? " (chosen)" : "") << '\n';
            if (l.extendedHeaders > 0)
                std::cout << "Extended textual headers: " << l.extendedHeaders << '\n';
            for (const auto& note : l.notes) std::cout << "Note: " << note << '\n';
        }
        if (XtfInput* in = xtfInput(s)) {
            const auto& chans = in->info().channels;
            std::cout << "Channels:";
            for (size_t c = 0; c < chans.size(); ++c)
                std::cout << (c ? ", " : " ") << c + 1 << ' '
                          << (chans[c].name.empty() ? "unnamed" : chans[c].name) << " ("
                          << chans[c].bytesPerSample * 8 << "-bit)";
            std::cout << '\n';
        }
        if (KorvaInput* in = korvaInput(s)) {
            std::cout << "Variant: " << in->variant().name << '\n'
                      << "Records: " << in->records() << '\n'
                      << "First scan: " << in->firstScan() << '\n'
                      << "Trigger delay: " << in->triggerDelay() << " samples\n";
        }
        if (s.input && !s.input->note().empty()) std::cout << "Note: " << s.input->note() << '\n';
    }
    if (o.textualHeader) printLines(textualHeader);
    if (o.fileHeader) {
        if (!korvaInput(s)) throw IoError(o.file + ": --file-header needs a .D02 or .D05 file");
        for (const auto& row : s.fileHeaderGrid)
            std::cout << row[0] << '\t' << row[1] << '\t' << row[2] << '\n';
    }

    Processor processor(s);
    if (o.runs()) {
        ProfileRenderer renderer(s);
        QFont font = QGuiApplication::font();
        ProfileRunHooks hooks(renderer, font);
        RunResult r = processor.run(hooks);
        if (o.report) printLines(s.Memo2);
        if (o.picks) drawPicks(o, s, renderer.picture());
        if (o.image) saveProfileImage(renderer.picture(), *o.image);
        if (o.nav) saveNavigation(s, *o.nav);
        if (o.saveNav) saveNavigation(s, *o.saveNav);
        if (r.end == RunEnd::Failed) throw Error(r.message);
    } else if (o.saveNav) {
        saveNavigation(s, *o.saveNav);
    }
    if (o.headerShot) {
        processor.READ_A_TRACE(*o.headerShot);
        showSegyHeaderListing(s);
        printLines(s.SEGYmemo);
    }
    if (o.dumpShot) {
        processor.READ_A_TRACE(*o.dumpShot);
        // A resampled trace is dumped as the samples left, at their interval.
        const int d = s.Decimation > 0 ? s.Decimation : 1;
        writeTraceAscii(std::cout, s.current, s.NumSamples / d, s.SampleRate / d);
    }
    if (o.instrumentsShot)
        writeInstrumentImages(s, processor, *o.instrumentsShot, o.instrumentsDir);
    if (o.exportAscii) {
        const AsciiExport e = exportAscii(s, *o.exportAscii);
        if (!e.note.empty()) std::cerr << "tarnix-run: Export Ascii: " << e.note << '\n';
    }
    // With a scanned profile as FILE, --bnd was its calibration, not a map's.
    if (o.mapWork() && (formatOf(o.file) != InputFormat::Bitmap || o.mapWorkBesidesBnd()))
        runMap(o, s);
    std::cout.flush();
    if (!std::cout) throw IoError("cannot write the standard output");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    RunOptions o;
    try {
        o = parseRunOptions(argc, argv);
    } catch (const UsageError& e) {
        std::cerr << "tarnix-run: " << e.what() << "\n\n" << runUsage();
        return 2;
    }
    if (o.help) {
        std::cout << runUsage();
        return 0;
    }
    // Text on the profile image needs a font database, hence a GUI application,
    // which needs no display on the offscreen platform.
    std::unique_ptr<QGuiApplication> app;
    if (o.runs() || o.instrumentsShot || o.mapWork() || o.refCurve) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        // Batch jobs often run without a login session; a private runtime
        // directory keeps the toolkit from warning about it on every call.
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            const std::string dir = "/tmp/tarnix-runtime-" + std::to_string(getuid());
            struct stat st;
            if ((mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST) &&
                lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() &&
                (st.st_mode & 077) == 0)
                qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(dir));
        }
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    try {
        return run(o);
    } catch (const std::exception& e) {
        std::cerr << "tarnix-run: " << e.what() << '\n';
        return 1;
    }
}
