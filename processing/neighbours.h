#pragma once
// The traces that follow the current one, for the rows that mix or compare a
// trace with its neighbours.
//
// They are read by a reader of their own, opened on the input file with the
// format's own open routine and the session's reading settings, into a private
// session: the current trace, the trace header record, SampleRate and the
// position of the run's next read stay exactly as they are (a later writer row
// writes that header). Each neighbour is read with the window, channel count
// and channel of the current trace, decoded once and kept in a small ring, so
// that a run reads every trace once however many rows and traces need it.
#include "core/session.h"
#include "core/trace.h"

#include <memory>
#include <string>
#include <vector>

namespace tarnix {

class NeighbourReader {
public:
    static constexpr int kMaxTraces = 1000; // neighbours one row may ask for

    NeighbourReader();
    ~NeighbourReader();
    NeighbourReader(const NeighbourReader&) = delete;
    NeighbourReader& operator=(const NeighbourReader&) = delete;

    // Opens the reader for the session's input; on every run's first trace, so
    // that settings changed between runs apply. Forgets every trace kept.
    void start(const Session& s);
    // start on a run's first trace, once however many rows ask (`call` tells
    // one worker call from the next).
    void prepare(const Session& s, bool first, long long call);
    // Trace `shot` of the input, its first n samples of the current trace's
    // window; nullptr when the file has no such trace or its format cannot read
    // one apart from the run. `keep` is how many neighbours the row needs at once.
    const Sample* trace(const Session& s, int shot, int n, int keep);
    // Traces decoded since start (the ring's misses).
    long long reads() const { return reads_; }

private:
    struct Slot {
        int shot = -1;
        int n = 0;
        bool exists = false;
        std::vector<Sample> samples;
    };
    bool ready(const Session& s) const;

    std::unique_ptr<Session> own_; // the reader's private session
    std::string path_;             // the input it was opened on, empty: none
    bool readable_ = false;        // the format reads single traces
    std::vector<Slot> ring_;
    long long reads_ = 0;
    long long startedAt_ = -1;
};

} // namespace tarnix
