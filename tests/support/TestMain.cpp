// The main function of every test program. Each test process gets a temporary folder of its own
// (TMPDIR), so tests that run side by side never see each other's temporary files, and nothing a
// test leaves behind outlives the process.

#include <gtest/gtest.h>

#include "tests/support/PrivateTmpDir.h"

int main(int argc, char** argv)
{
    const trovanta_test::PrivateTmpDir tmp;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
