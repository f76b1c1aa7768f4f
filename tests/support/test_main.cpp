// Test programs start the runtime like the installer does, run every test,
// and end through the runtime's shutdown with the test result as exit code.
#include <gtest/gtest.h>
#include "runtime/runtime.h"

int main(int argc, char** argv) {
    runtime_start();
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    g_runtime.exit_code = result;
    runtime_end();
}
