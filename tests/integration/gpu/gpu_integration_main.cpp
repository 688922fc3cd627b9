#include <gtest/gtest.h>

#include "runtime_independence.h"

int main(int argc, char** argv) {
    int handled = 0;
    const int childStatus = plugin_integration::runRuntimeChild(&handled);
    if (handled) return childStatus;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
