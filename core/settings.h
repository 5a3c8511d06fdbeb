#pragma once
// Settings carried by the tool windows' controls. A control and its setting are
// one value: the window writes the setting on every change and shows it after a
// load; the ranges are the controls' ranges.
#include "core/ranged.h"

#include <string>

namespace tarnix {

// The Display window.
struct DisplaySettings {
    RangedInt PaletteBar{0, 8, 0};
    RangedInt Gain{1, 10, 10}; // factor = Gain.max() / Gain
    // Half range of the colours as "Auto" set it where the gain alone could not
    // reach; 0 keeps full scale / 2. Not in the defaults file.
    long long ClipLevel = 0;
    RangedInt TrackBar3{0, 100, 10};
    RangedInt DragWidth{3, 1000000, 40};
    RangedInt NVP{0, 10000, 100};
    bool DlabelCheck = true;
    RangedInt TimeFreq{0, 10000, 10};
    RangedInt ShotFreq{0, 10000, 50};
    RangedInt Grid{0, 10, 0};
    RangedInt Rep{1, 10, 1};
    RangedInt SoundSpeedEdit{0, 8000, 100};
    bool LineNameLabelCheck = true;
    int Dir_radio = 0; // "L-R"; disabled, read by nothing
};

// Texts shown by the Display window's status bar, position 0..8.
const char* paletteName(int position);

// The SEG-Y options window ("SEGY File Type").
struct SegyOptions {
    // Detect: the order in which the binary header's format code and sample
    // interval make sense, decided when the file is opened.
    enum ByteOrder { LittleEndian = 0, BigEndian = 1, Detect = 2 };
    enum Charset { Ascii = 0, Ebcdic = 1 };
    enum DelaySource { DelayField = 0, Multiping = 1 };
    int SEGYRadio = Detect;
    int NumofChanRadio = 0; // item index; channels = index + 1 (1..24)
    int HeadType = Ebcdic;
    int DataFormatRadio = 0; // item shown: the detected format, or the one chosen
    int dataFormatCode = 0;  // the chosen sample format code; 0: the binary header's
    std::string S_REdit;     // sample interval in microseconds
    bool ChangeBox = false;
    std::string XEditscaler = "1";
    std::string YEditScaler = "1";
    int Z_scaler = DelayField;
    int waterDepth = 0; // metres, from the water-depth window, for Multiping
    int channels() const { return NumofChanRadio + 1; }
};

// The Select Shots window.
struct ShotSelection {
    RangedInt StartShot{0, 10000000, 1};
    RangedInt EndShot{0, 100000000, 1};
    std::string MUL = "1";
    std::string ADD = "0";
    RangedInt chan_to_display{1, 100000, 1};
    std::string Label1, Label2; // "File:  " + name, "Total: " + trace count
};

// The ASCII options window ("Ascii File Parameters").
struct AsciiOptions {
    std::string S_Redit = "2.0"; // sampling frequency, kHz
    bool headerEnabled = true;   // its header field
    std::string headerText;
};

// The Map Limits window's texts, read afresh by every conversion. The four
// boundaries are saved in the defaults file as typed.
struct MapLimits {
    std::string Top = "40.783", Bottom = "40.6667", Right = "30", Left = "29.25";
    std::string xmin = "0", xmax = "0", ymin = "0", ymax = "0"; // image borders, pixels
};

// The "Binary File Format" dialog of headerless sample files.
struct BinaryOptions {
    // A trace never holds more than the readers fill.
    RangedInt samples_per_sweep{1, 16384, 100};
    RangedInt bits_per_sample{8, 32, 16};          // 8, 16, 24 or 32
    RangedInt Sampling_frequency{1, 100000, 1000}; // Hz
    int channelsIndex = 0;                         // radio item; channels = index + 1 (1..24)
    int channels() const { return channelsIndex + 1; }
};

// The scanned profile's georeferencing window (BMPForm): time and shot in the
// place of latitude and longitude, in the boundary file's order.
struct BitmapForm {
    MapLimits bounds{.Top = "0",
                     .Bottom = "1000",
                     .Right = "1000",
                     .Left = "1",
                     .xmin = "25",
                     .xmax = "1000",
                     .ymin = "25",
                     .ymax = "1000"};
    std::string statusmap = "BND File"; // its status panel
    std::string bndFileName;            // side file of the image, or the one chosen last
};

// The "Plot Line Parameters" window and what the map viewer keeps between events.
struct MapPlotSettings {
    RangedInt Labelspacing{1, 1000000, 100};
    RangedInt pointspacing{1, 1000, 1};
    bool connectPoints = false; // draw each line's track between its shot points
};

struct MapState {
    bool crossMode = false;             // labelled crosses: point files and map clicks
    std::string latText, lonText;       // position last read out on the map, 8 decimals
    int lastNotebookLine = 0;           // number of the notebook line last added by a pick
    std::string bndFileName;            // boundary file last chosen in the Map Limits window
    std::string statusmap = "BND File"; // the Map Limits window's status panel
};

} // namespace tarnix
