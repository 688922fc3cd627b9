#pragma once

namespace plugin_integration {

// The parts of the runtime tests that run in a child process, started with the
// environment they need. Sets *handled when this process is such a child, and
// then returns its exit status.
int runRuntimeChild(int* handled);

}  // namespace plugin_integration
