#include "plugin/shared/engine_diagnostics.h"

#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsLog.h"

namespace ChromvaleBeta2 {

void logDiagnostics(const Diagnostics& diagnostics) {
    for (const DiagnosticLine& line : diagnostics.lines()) {
        if (line.isError) {
            OFX::Log::error(true, "%s", line.text.c_str());
        } else {
            OFX::Log::print("%s", line.text.c_str());
        }
    }
}

void finishGpuRender(GpuOutcome outcome, const Diagnostics& diagnostics) {
    logDiagnostics(diagnostics);
    if (outcome == GpuOutcome::Unsupported) OFX::throwSuiteStatusException(kOfxStatErrUnsupported);
    if (outcome == GpuOutcome::Failed) OFX::throwSuiteStatusException(kOfxStatFailed);
}

}  // namespace ChromvaleBeta2
