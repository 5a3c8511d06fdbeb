#include "formats/format_table.h"

#include "core/error.h"
#include "core/numtext.h"
#include "core/session.h"
#include "formats/ascii_reader.h"
#include "formats/bitmap_input.h"
#include "formats/file_open.h"
#include "formats/korva_reader.h"
#include "formats/raw_binary_reader.h"
#include "formats/seg2_reader.h"
#include "formats/xtf_reader.h"

#include <algorithm>

namespace tarnix {

namespace {

void prepareSegy(Session& s) {
    s.segy.Z_scaler = SegyOptions::DelayField;
    s.segy.ChangeBox = false;
    s.segy.dataFormatCode = 0; // a format chosen for one file is not the next one's
}

// ".SG2"/".SEG2" are SEG-2 by name (the reader says when one is not); a
// ".DAT" file only when it starts with the SEG-2 block identifier.
bool seg2Named(const std::string& path) {
    return upperExtension(path) != ".DAT" || isSeg2File(path);
}

using F = InputFormat;
using O = OptionsWindow;

// In the order of the open dialog's filters.
constexpr FormatEntry kFormats[] = {
    {F::Segy,
     "SEG-Y",
     {".SEG", ".SGY", ".SEGY"},
     "*.seg *.sgy *.segy",
     {".seg", ".SEG"},
     O::Segy,
     prepareSegy,
     segyOptionsOk,
     false},
    {F::Korva20,
     "Tarnix 2.0",
     {".D02"},
     "*.D02 *.d02",
     {".d02", ".D02"},
     O::None,
     nullptr,
     OPEN_KORVA20,
     true},
    {F::Korva05,
     "Tarnix 0.5",
     {".D05"},
     "*.D05 *.d05",
     {".d05", ".D05"},
     O::None,
     nullptr,
     OPEN_KORVA05,
     true},
    {F::Ascii,
     "Ascii File",
     {".TXT"},
     "*.TXT *.txt",
     {".txt", ".TXT"},
     O::None,
     nullptr,
     openAsciiFile,
     false},
    {F::Bitmap, "BMP", {".BMP"}, "*.bmp", {".bmp", ".BMP"}, O::None, nullptr, OPEN_BMP, false},
    {F::Binary,
     "Binary Files",
     {".BIN"},
     "*.bin",
     {".bin", ".BIN"},
     O::Binary,
     nullptr,
     OPEN_BIN,
     false},
    {F::Seg2,
     "SEG-2",
     {".SG2", ".SEG2", ".DAT"},
     "*.dat *.DAT *.sg2 *.SG2 *.seg2 *.SEG2",
     {".seg2", ".SEG2"},
     O::None,
     nullptr,
     openSeg2File,
     false,
     seg2Named},
    {F::Xtf,
     "XTF",
     {".XTF"},
     "*.xtf *.XTF",
     {".xtf", ".XTF"},
     O::None,
     nullptr,
     openXtfFile,
     false},
};

} // namespace

std::span<const FormatEntry> formatTable() {
    return kFormats;
}

const FormatEntry& formatInfo(InputFormat f) {
    for (const FormatEntry& e : kFormats)
        if (e.format == f) return e;
    throw Error("No input format of that kind");
}

std::string upperExtension(const std::string& path) {
    auto slash = path.find_last_of('/');
    auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return upper(path.substr(dot));
}

const FormatEntry* formatEntryOf(const std::string& path) {
    const std::string e = upperExtension(path);
    if (e.empty()) return nullptr;
    for (const FormatEntry& f : kFormats)
        for (const char* x : f.extensions)
            if (x && e == x) return !f.recognises || f.recognises(path) ? &f : nullptr;
    return nullptr;
}

InputFormat formatOf(const std::string& path) {
    const FormatEntry* e = formatEntryOf(path);
    return e ? e->format : InputFormat::None;
}

bool formatReadable(InputFormat f) {
    return f != InputFormat::None && formatInfo(f).open != nullptr;
}

bool spelledAs(const std::string& path, InputFormat f) {
    if (f == InputFormat::None) return false;
    for (const char* x : formatInfo(f).spellings) {
        const std::string_view sp(x);
        if (path.size() >= sp.size() && path.compare(path.size() - sp.size(), sp.size(), sp) == 0)
            return true;
    }
    return false;
}

std::string openDialogFilters() {
    std::string out;
    for (const FormatEntry& f : kFormats) {
        if (!f.patterns) continue;
        out += std::string(f.name) + " (" + f.patterns + ");;";
    }
    return out + "Any File (*)";
}

} // namespace tarnix
