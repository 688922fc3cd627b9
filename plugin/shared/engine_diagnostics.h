#pragma once

// The colour engine reports through Diagnostics and outcomes; this is where they
// become diagnostic log lines and OpenFX statuses.

#include "gpu/diagnostics.h"

namespace ChromvaleBeta2 {

// Writes every line to the diagnostic log in order, errors as error lines.
void logDiagnostics(const Diagnostics& diagnostics);

// Logs the lines, then ends the action as the outcome requires: Unsupported as
// kOfxStatErrUnsupported, Failed as kOfxStatFailed.
void finishGpuRender(GpuOutcome outcome, const Diagnostics& diagnostics);

}  // namespace ChromvaleBeta2
