#include "support/line_fixture.h"

#include "formats/file_open.h"
#include "support/segy_fixture.h"
#include "support/temp_dir.h"

#include <sstream>

namespace tarnix::test {

std::string writeLine(const TempDir& dir, const std::string& name, int traces, int ns,
                      const SampleFn& f, int delayMs) {
    SynthSegy seg;
    seg.binaryNs = ns;
    seg.binaryInterval = 1000;
    for (int k = 0; k < traces; ++k) {
        SynthTrace& t = seg.addTrace(k + 1, ns, 1000);
        if (delayMs != 0) t.set(109, delayMs);
        for (int i = 0; i < ns; ++i) t.samples[i] = static_cast<int16_t>(f(k, i + 1));
    }
    const std::string path = dir.file(name);
    seg.write(path);
    return path;
}

std::unique_ptr<Session> openLine(const std::string& path, int ns, int fromShot, int toShot,
                                  int startSweep) {
    auto s = std::make_unique<Session>();
    openCommand(*s, path);
    s->segy.SEGYRadio = SegyOptions::BigEndian;
    s->StartSweep.set(startSweep);
    s->EndSweep.set(ns);
    segyOptionsOk(*s);
    s->shots.StartShot.set(fromShot);
    s->shots.EndShot.set(toShot);
    selectShotsOk(*s);
    return s;
}

void setRows(Session& s, std::initializer_list<std::vector<std::string>> rows) {
    s.sequence.clearAll();
    int r = 1;
    for (const auto& cells : rows) {
        s.sequence.cell(r, 0) = std::to_string(r);
        for (size_t c = 0; c < cells.size(); ++c)
            s.sequence.cell(r, static_cast<int>(c) + 1) = cells[c];
        ++r;
    }
}

std::vector<long double> dumpValues(const std::string& out, std::vector<long double>* times) {
    std::vector<long double> v;
    std::istringstream in(out);
    long double t, x;
    while (in >> t >> x) {
        v.push_back(x);
        if (times) times->push_back(t);
    }
    return v;
}

ToolResult runDump(const TempDir& dir, const std::string& seq, const std::string& line, int shot,
                   const std::string& window) {
    writeTextFile(dir.file("s.seq"), "# Module p1 p2 p3 p4 p5 p6 \n" + seq);
    return runTarnixRun(dir, "--sequence " + dir.file("s.seq") + " --window " + window +
                                 " --dump-trace " + std::to_string(shot) + " " + line);
}

} // namespace tarnix::test
