#pragma once

namespace plugin_integration {

// The part of the hidden-loader test that runs in a child process started
// with the OpenCL loader shadowed. Sets *handled when this process is that
// child, and then returns its exit status.
int renderWithoutOpenClLoader(int* handled);

}  // namespace plugin_integration
