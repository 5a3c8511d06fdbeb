#pragma once
// How the run loop talks to whoever shows it: the GUI implements these with Qt,
// the headless command and the tests without a window.
#include "core/trace.h"

namespace tarnix {

class RunHooks {
public:
    virtual ~RunHooks() = default;
    // Serve pending interface events (STOP may set StopRequested).
    virtual void pumpEvents() {}
    // Progress bar shown (true) at the start of a run, hidden (false) at its end.
    virtual void runState(bool /*running*/) {}
    virtual void progress(int /*percent*/) {}
    // Shots of the range read so far, and the range's count; called with the
    // event pumps and once after the last shot.
    virtual void shotsDone(int /*done*/, int /*total*/) {}
    // A shot has been read and worked on, its navigation row added.
    virtual void shotProcessed(int /*shot*/) {}
    // Image set-up before the first shot (ImageRows/ImageColumns already set).
    virtual void createImage() {}
    // One column of the profile at pixel column x from the first n samples.
    virtual void paintColumn(int /*x*/, const TraceBuffer& /*trace*/, int /*n*/) {}
    // The same from a trace the reader kept as whole numbers; only asked of
    // hooks that say they paint those.
    virtual bool paintsWholeColumns() const { return false; }
    virtual void paintWholeColumn(int /*x*/, const WholeWindow& /*trace*/, int /*n*/) {}
    // The same from the trace as double-precision rows left it, v[0..n-1]
    // (each value as the current trace would hold it); asked only of hooks
    // that paint whole numbers and say they paint these too.
    virtual bool paintsDoubleColumns() const { return false; }
    virtual void paintDoubleColumn(int /*x*/, const double* /*v*/, int /*n*/) {}
    // Run-end display: annotation, caption, frame.
    virtual void runEnd() {}
};

} // namespace tarnix
