#include "processing/demo_session.h"

#include "formats/demo_line.h"
#include "formats/file_open.h"

namespace tarnix {

int demoWindowMs() {
    DemoLineOptions opt;
    return opt.samples * opt.intervalUs / 1000;
}

void applyDemoDisplay(Session& s) {
    s.display.NVP.set(601);
    s.display.PaletteBar.set(2);
    s.display.Gain.set(4); // x2.5: the gain-balanced traces use a quarter of full scale
    s.display.TimeFreq.set(10);
    s.display.ShotFreq.set(100);
    s.display.SoundSpeedEdit.set(1500);
}

void openDemoLine(Session& s, const std::string& path) {
    openCommand(s, path);
    s.segy.HeadType = SegyOptions::Ascii; // the demo line's textual header
    s.StartSweep.set(0);
    s.EndSweep.set(demoWindowMs());
    segyOptionsOk(s);
    selectShotsOk(s);
    applyDemoDisplay(s);
    demoSequence(s.sequence);
}

void demoSequence(SequenceTable& table) {
    table.clearAll();
    const char* rows[][7] = {
        {"1", "DBAS", "", "", "", "", ""},
        {"2", "FLTM", "200.00", "6000.00", "0", "0", "64"},
        {"3", "AGCM", "257", "", "", "", ""},
    };
    int r = 1;
    for (const auto& row : rows) {
        for (int c = 0; c < 7; ++c) table.cell(r, c) = row[c];
        ++r;
    }
}

} // namespace tarnix
