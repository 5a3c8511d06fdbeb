#pragma once
// What the Analysis page's read-outs say for a pointer at (x, y) in an
// instrument image of w x h pixels. Plain text, so that they are tested and
// reused without a window.
#include "core/session.h"

#include <string>
#include <vector>

namespace tarnix {

// `Label6`, `Label7`: frequency over half the sampling frequency, amplitude 0..1.
std::vector<std::string> amplitudeSpectrumReadout(const Session& s, int x, int y, int w, int h);
// `Label14`, `Label15`: frequency over the whole sampling frequency.
std::vector<std::string> phaseSpectrumReadout(const Session& s, int x, int y, int w, int h);
// `Label8`, `Label9`, `Label17`: recording time, pixel amplitude, sample number.
std::vector<std::string> oscilloscopeReadout(const Session& s, int x, int y, int w, int h);
// `Label10`, `Label11`: lag time with its sample number, pixel amplitude.
std::vector<std::string> autocorrelogramReadout(const Session& s, int x, int y, int w, int h);

} // namespace tarnix
