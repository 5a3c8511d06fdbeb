#pragma once
// The status bar's text during a run: shots done, shots per second, time left.
#include <string>

namespace tarnix {

// "Shot 1200 of 10000   850 shots/s   0:10 left"; the rate and time left are
// left out until a tenth of a second has passed, and the time left when the
// range is unknown (total <= 0) or done.
std::string runProgressText(int done, int total, double seconds);

} // namespace tarnix
