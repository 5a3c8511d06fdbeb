#pragma once
// The mean trace that HBFM subtracts and ASTM correlates with, computed from
// the input before a run.
#include "core/session.h"

namespace tarnix {

// CALCULATE_RMSTRACE: clears the mean trace, reads the next NumTraces - 2
// traces of the input in sequence (window StartSweep..EndSweep), and leaves the
// average of their first NumSamples samples in `meanTrace`. The input is
// rewound before and after, so the run starts where it would have. A file that
// ends early is averaged over the traces it had. Returns the number averaged.
int CALCULATE_RMSTRACE(Session& s);

} // namespace tarnix
