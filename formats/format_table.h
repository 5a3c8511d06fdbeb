#pragma once
// Every input format in one table: the extensions that select it, the open
// dialog's filter, the open routine and the options window shown before it.
// The open command, the run, Select Shots and the headless command all ask
// this table; nothing else looks at a file name's extension.
#include <array>
#include <span>
#include <string>

namespace tarnix {

class Session;

enum class InputFormat { None, Segy, Korva20, Korva05, Ascii, Binary, Bitmap, Xtf, Seg2 };

// The window the open command shows before the file is read; its OK runs the
// format's open routine.
enum class OptionsWindow { None, Segy, Binary };

struct FormatEntry {
    InputFormat format;
    const char* name; // as the open dialog's filter names it
    // Upper-cased extensions, dot included, that dispatch to this format.
    std::array<const char*, 3> extensions;
    // The open dialog's patterns ("*.seg *.sgy"); nullptr: the dialog offers none.
    const char* patterns;
    // The two spellings, lower and upper case, that some places accept instead
    // of the upper-cased extension.
    std::array<const char*, 2> spellings;
    OptionsWindow options;
    // Before the options window is shown (nullptr: nothing to prepare).
    void (*prepare)(Session&);
    // The open routine: sets the sampling state and NumTraces, reads the first
    // trace where it can, prepares Select Shots. nullptr while no reader is built.
    void (*open)(Session&);
    // The run computes the mean trace before the first shot when "RMS" is ticked.
    bool meanTraceBeforeRun;
    // For an extension other formats use too (".DAT"): whether the file's own
    // bytes say it is this format. nullptr: the extension alone decides.
    bool (*recognises)(const std::string& path) = nullptr;
};

std::span<const FormatEntry> formatTable();
const FormatEntry& formatInfo(InputFormat f);

// Upper-cased extension of a path, dot included ("" when there is none).
std::string upperExtension(const std::string& path);
// The format of a path's upper-cased extension; None for any other.
InputFormat formatOf(const std::string& path);
// The table entry of a path, nullptr when its extension selects no format
// (or the row's own test of the file says it is not that format).
const FormatEntry* formatEntryOf(const std::string& path);
// Whether the format has an open routine in this build.
bool formatReadable(InputFormat f);
// Whether the path ends in exactly one of the format's two spellings.
bool spelledAs(const std::string& path, InputFormat f);

// The open dialog's filter list ("SEG-Y (*.seg *.sgy);;...;;Any File (*)").
std::string openDialogFilters();
inline constexpr const char* kOpenDialogDefaultSuffix = "seg";

} // namespace tarnix
