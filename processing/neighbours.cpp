#include "processing/neighbours.h"

#include "core/error.h"
#include "formats/format_table.h"

#include <algorithm>
#include <climits>

namespace tarnix {

namespace {

// What a reader of the input reads with: the options windows and the window.
void copyReadSettings(const Session& from, Session& to) {
    to.InputFileName = from.InputFileName;
    to.segy = from.segy;
    to.shots = from.shots;
    to.ascii = from.ascii;
    to.binary = from.binary;
    to.bmp = from.bmp;
    to.StartSweep = from.StartSweep;
    to.EndSweep = from.EndSweep;
}

} // namespace

NeighbourReader::NeighbourReader() = default;
NeighbourReader::~NeighbourReader() = default;

bool NeighbourReader::ready(const Session& s) const {
    return own_ && own_->InputFileName == s.InputFileName && !s.InputFileName.empty();
}

void NeighbourReader::start(const Session& s) {
    for (Slot& sl : ring_) sl.shot = -1;
    reads_ = 0;
    readable_ = false;
    if (!own_) own_ = std::make_unique<Session>();
    Session& o = *own_;
    CLOSE_FILES(o);
    o.InputFileName.clear();
    const FormatEntry* f = formatEntryOf(s.InputFileName);
    if (!s.input || !f || !f->open) return;
    copyReadSettings(s, o);
    try {
        f->open(o);
    } catch (const Error& e) {
        CLOSE_FILES(o);
        throw IoError(std::string("Cannot open the input again for its neighbour traces: ") +
                      e.what());
    }
    // The open routine chose its own shot range; the run's settings apply.
    copyReadSettings(s, o);
    o.SegyDataOffset = s.SegyDataOffset;
    readable_ = o.input != nullptr;
}

void NeighbourReader::prepare(const Session& s, bool first, long long call) {
    if (first && call != startedAt_) {
        start(s);
        startedAt_ = call;
    }
}

const Sample* NeighbourReader::trace(const Session& s, int shot, int n, int keep) {
    if (!ready(s)) start(s);
    if (!readable_ || shot < 0) return nullptr;
    n = std::clamp(n, 0, kTraceSlots);
    const size_t size = static_cast<size_t>(std::clamp(keep, 2, kMaxTraces)) + 1;
    if (ring_.size() < size) {
        // A wider ring maps shots to other slots: what it held is read again.
        for (Slot& sl : ring_) sl.shot = -1;
        ring_.resize(size);
    }
    Slot& sl = ring_[static_cast<size_t>(shot) % ring_.size()];
    if (sl.shot == shot && sl.n >= n) return sl.exists ? sl.samples.data() : nullptr;

    Session& o = *own_;
    sl.shot = -1;
    bool exists = true;
    try {
        if (!o.input->readSingleTrace(o, shot)) {
            readable_ = false;
            return nullptr;
        }
    } catch (const EndOfData&) {
        exists = false;
    } catch (const Error& e) {
        throw IoError("neighbour trace " + std::to_string(shot) + ": " + e.what());
    }
    ++reads_;
    sl.shot = shot;
    sl.exists = exists;
    if (!exists) {
        sl.n = INT_MAX;
        return nullptr;
    }
    if (sl.samples.size() < static_cast<size_t>(n)) sl.samples.resize(static_cast<size_t>(n));
    std::copy_n(o.current.begin(), n, sl.samples.begin());
    sl.n = n;
    return sl.samples.data();
}

} // namespace tarnix
