#pragma once
// The whole process-wide state of one Tarnix session: trace store, header record,
// per-shot tables, session fields and the settings the windows' controls carry.
// Created once at start-up and passed by reference; the GUI and the headless
// command drive the same object through the same procedures.
#include "core/nav_text_table.h"
#include "core/numtext.h"
#include "core/ranged.h"
#include "core/sequence_table.h"
#include "core/settings.h"
#include "core/shot_gather.h"
#include "core/trace.h"
#include "core/zeroed_buffer.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarnix {

class Session;

// The open input file of whatever format; closing it is destroying it.
class InputFile {
public:
    virtual ~InputFile() = default;
    // The next run read returns the first trace again.
    virtual void rewind(Session& s) = 0;
    // Run loop read of shot `shot` into the current trace (window copy and the
    // shot's navigation text included). Throws IoError or EndOfData.
    virtual void readRunTrace(Session& s, int shot) = 0;
    // The read half of READ_A_TRACE; false when this format has no single-trace read.
    virtual bool readSingleTrace(Session& s, int shot) = 0;
    // READ_A_TRACE runs the worker with SingleTraceMode set for this format.
    virtual bool singleTraceWorker() const { return false; }
    // Position text of the trace last read (UpDate_PosString); empty keeps the old one.
    virtual const std::string& posString() const {
        static const std::string none;
        return none;
    }
    // What the open had to leave out or assume, empty when nothing.
    virtual std::string note() const { return {}; }
    // Row text of the navigation list for the shot just read (ADD_NAV_FIX);
    // nullopt leaves the row as it is (formats without navigation).
    virtual std::optional<std::string> navRow(const Session& /*s*/, int /*shot*/) const {
        return std::nullopt;
    }
    // Writes the raw and current traces of a run read that only kept whole
    // numbers (Session::deferred), as the read would have.
    virtual void finishDeferredRead(Session& /*s*/) {}
};

// An output file of the sequence (SEG-Y, KORVA 2.0, ASCII, reflectivity).
class OutputFile {
public:
    virtual ~OutputFile() = default;
    // Flushes and closes; throws IoError when the data cannot be written.
    virtual void close() = 0;
};

// One entry of the navigation fix table: a navigation file line as numbers.
constexpr int32_t kNoFix = -9999; // shot of an entry without a fix
struct NavFix {
    int32_t shot = kNoFix;
    int32_t year = 0, day = 0, hour = 0, minute = 0, second = 0;
    double lat = 0, lon = 0;
};

// The cursor point record, rewritten by every read-out over the profile.
struct CursorPoint {
    double CursorTime = 0;
    int32_t CursorShot = 0;
    double CursorDepth = 0;
    int32_t CursorSample = 0;
    int32_t CursorAmp = 0;
    // Text forms: shot and sample in decimal; times and depth with 6 decimals.
    std::string CursorShotText, CursorSampleText;
    std::string CursorTimeText, CursorTimeNoDelayText, CursorDepthText;
    int DragStartX = 0, DragStartY = 0;
    double DragStartDepth = 0;
    int32_t PickCount = 0;
    int32_t LastPickedShot = 0;
};

// KORVA scan headers (288 bytes, little-endian) kept across opens: each
// variant's first record of the file opened last (the header grid), and the
// scan header of the record read last, which written KORVA 2.0 records start
// from (the SEG-Y reader fills its scan number, bit count and, big-endian,
// blank navigation text).
struct KorvaHeaders {
    static constexpr int kBytes = 288;
    using Header = std::array<unsigned char, kBytes>;
    Header first20{}, first05{};
    Header record20{}, record05{};
    int16_t lastSample20 = 0; // sample 16384 of the KORVA 2.0 record read last
    // Nothing of an earlier file reaches the records of the next one.
    void resetTemplates() {
        record20.fill(0);
        record05.fill(0);
        lastSample20 = 0;
    }
};

class Session {
public:
    Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // --- trace store ---
    TraceBuffer current{};   // the current trace, worked on in place
    TraceBuffer raw{};       // raw input trace (SEG-Y, XTF), from time 0
    TraceBuffer meanTrace{}; // CALCULATE_RMSTRACE result, for the rows that need it
    // Counts the writes of CALCULATE_RMSTRACE, the mean's one writer during a run;
    // rows that keep what they derived from the mean look at it between first traces.
    long long meanTraceVersion = 0;
    TraceHeader header;
    ShotGather gather; // the SEG-2 shot last read

    WindowZeros zeros; // what the window copy may leave alone
    // The run's: a run read may keep its trace as whole numbers only (nothing
    // but the painting looks at it before the next read).
    bool runMayDefer = false;
    // And float samples as doubles: the run has no rows and its hooks paint doubles.
    bool runMayDeferDoubles = false;
    // Set by a read that did so; see completeCurrent.
    WholeWindow deferred;
    // Current slots 0..count-1 as the run's double-precision rows left them,
    // over a deferred read: completeCurrent writes them after the read.
    struct PendingDoubles {
        const double* values = nullptr;
        int count = 0;
    } pendingDoubles;

    // --- per-shot tables (index = shot number - shotTableBase, 0..40000) ---
    NavTextTable navText{kShotTableSize};
    ZeroedBuffer<std::array<double, 2>> shotPosition{kShotTableSize}; // CoordX, CoordY
    // The navigation fix table, shots 0..40000; empty until a navigation import.
    std::vector<NavFix> navFixes;
    ZeroedBuffer<int32_t> reflPick{kShotTableSize};
    // 0, or the first scan number of a record file whose scans run past the
    // tables, so that its shots keep their own numbers. Set by each open.
    int shotTableBase = 0;
    // Index of `shot` in the per-shot tables; IoError naming the shot outside them.
    size_t shotIndex(int shot) const;
    // The same, or -1 outside the tables.
    int shotEntry(int shot) const;

    // --- session fields ---
    std::string InputFileName;
    bool InputOpen = false;
    std::unique_ptr<InputFile> input;
    int32_t NumSamples = 0;
    int32_t NumTraces = 0;
    long double SampleRate = 0; // samples per ms
    int32_t FullScale = 32768;
    // FullScale was taken from the data (SEG-Y floats and 32-bit integers have
    // no fixed scale): the profile and the oscilloscope then scale the samples so
    // that +-FullScale/2 reaches the palette's ends, whatever the magnitudes.
    bool FullScaleFromData = false;
    int32_t SegyDataOffset = 3600;
    int32_t Decimation = 1;
    RangedInt StartSweep{0, 100000, 0};
    RangedInt EndSweep{0, 100000, 100};
    int32_t ChannelToDisplay = 1;
    int ProfileOriginX = 50, ProfileOriginY = 50;
    int32_t ImageRows = 0;
    int32_t ImageColumns = 0;
    double ZoomFactor = 1.0;
    int32_t ZoomStep = 0;
    int32_t RunTraceCount = 0;
    bool StopRequested = false;
    bool SingleTraceMode = false;
    bool OutputSegyOpen = false;
    bool OutputKorvaOpen = false;
    bool OutputOpen = false;
    bool goEnabled = false; // GO (`Playbutt`) enabled: a shot range was confirmed
    bool RMSFlag = false;   // main window "RMS" check box

    // --- settings carried by the windows ---
    DisplaySettings display;
    SegyOptions segy;
    ShotSelection shots;
    AsciiOptions ascii;
    BinaryOptions binary;
    BitmapForm bmp;
    MapLimits mapLimits;
    MapPlotSettings mapPlot;
    MapState map;
    SequenceTable sequence;
    RangedInt HdrSelect{1, 100000, 10};
    RangedInt Sel_ana_spin{1, 1000000, 1};

    // --- run outputs and the processing sequence's files ---
    std::array<std::string, 51> rowFiles; // row file list, entries 1..50
    std::string segyOutPath, korvaOutPath, asciiOutPath, refOutPath;
    std::unique_ptr<OutputFile> segyOut, korvaOut, asciiOut, refOut;

    // --- status texts shown by the main window ---
    std::string Edit2, Edit3, Edit4;
    std::vector<std::string> Memo2{"Processing Sequence"};
    std::vector<std::string> SEGYmemo;
    // "Tarnix File Header" page: 14 rows of Field, Value, Comment (row 0 the titles).
    std::vector<std::array<std::string, 3>> fileHeaderGrid;
    std::vector<std::string> navigationGrid; // rows of NavigationGrid, row 0 the heading
    std::string positionString;              // UpDate_PosString result
    CursorPoint cursor;

    // --- SEG-Y state shared by the reader, the writers and the header views ---
    // Trace header record of the SEG-Y trace last read, host (little-endian) layout.
    std::array<unsigned char, 240> segyTraceHeader{};
    // File header block (text and binary header) of the SEG-Y input last shown,
    // copied into SEG-Y outputs; zeros until one is shown.
    std::array<unsigned char, 3600> segyFileHeader{};
    // Output trace header record of the little-endian SEG-Y writer.
    std::array<unsigned char, 240> segyOutHeader{};
    // KORVA 2.0 header copy's sample-rate code and, for code 99, its rate text.
    int32_t korvaRateIndex = 0;
    std::string korvaRateValue;
    KorvaHeaders korva;

    // Refuses shot numbers the per-shot tables cannot hold (IoError naming the shot).
    static void checkShotIndex(int shot);
};

// The last step of an open routine whose reader has read the first trace into
// raw: the reader becomes the session's input, with its trace count and the
// "Input File:" text (and the reader's note), and the window is cut.
void commitInput(Session& s, std::unique_ptr<InputFile> in, int traces, const std::string& fileName,
                 const std::string& note);

// Raw input trace -> current trace for the selected time window; shows the
// trace's delay in Edit2 ("DELAY =12.5").
void windowCopy(Session& s);
// The window copy's sample count and first raw slot for the session's window.
struct WindowSpan {
    int32_t numSamples;
    long long first;
};
WindowSpan windowSpan(const Session& s);
// Writes the current and raw traces of a deferred run read, if any, and the
// pending double-precision samples over the current one.
void completeCurrent(Session& s);
// Current slots from..end-1 := 0, except those `vouched` (the run knows they
// hold 0 already); recorded as the zeros this copy wrote. For the copies of
// the window into the current trace.
void writeWindowZeros(Session& s, int from, int end, WindowZeros::Range vouched);
// The Edit2 text for a delay in ms.
std::string delayText(double delayMs);

// Image set-up geometry: ProfileOrigin (50, 50), ImageRows = NVP made odd,
// ImageColumns = Rep x NumTraces.
void setupProfileGeometry(Session& s);

// CLOSE_FILES: closes the input and the reflectivity output.
void CLOSE_FILES(Session& s);
// RESET_FILES: closes the sequence's outputs and rewinds the input.
void RESET_FILES(Session& s);
// The navigation list of the Positioning page (`navigationGrid`): row 0 is
// the heading, fixes start at row 1.
inline constexpr const char* kNavHeading = "Navigation String";

// CLEAR_NAV_GRID / ClearNavButtClick: empties rows from 1 on and stops after
// the first row that was already empty (that row is emptied too).
// RunTraceCount, the fix table and the per-shot tables stay.
void CLEAR_NAV_GRID(Session& s);
// Empties every row from 1 on, wherever the rows in use end.
void clearAllNavRows(Session& s);

// Row `row` of the list, the list grown to hold it (and the heading set).
std::string& navGridRow(Session& s, int row);

// UpDate_PosString: the position text of the trace last read.
std::string UpDate_PosString(Session& s);

} // namespace tarnix
