#pragma once
// What `--demo` sets up on top of the demo line, shared by the window and the
// headless command so both show the same first profile.
#include "core/session.h"

namespace tarnix {

// Length of a demo trace in ms: the window that shows all of it.
int demoWindowMs();
// Display settings that suit the demo line (vertical size, palette, labels).
void applyDemoDisplay(Session& s);
// A short sequence: debias, band-pass, gain balance.
void demoSequence(SequenceTable& table);

// Opens the demo line written at `path` as a user would: the open command, the
// options window's OK on the whole trace, every shot selected, then the demo's
// display settings and sequence.
void openDemoLine(Session& s, const std::string& path);

} // namespace tarnix
