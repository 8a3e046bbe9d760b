// A command line asked for before the process's start is known (this
// program's own initialisers run before the layer's) is empty, as for a
// process started without arguments.
#include <gtest/gtest.h>

#include "platform/String.h"

namespace {

const CString kEarlyCommandLine = GetCommandLineW();

TEST(StartTest, CommandLineAskedForBeforeTheStartIsEmpty) {
    EXPECT_TRUE(kEarlyCommandLine.IsEmpty());
}

}  // namespace
