// The main function of test programs that open windows: a QApplication on the offscreen platform
// (unless the environment names another), and a private TMPDIR per process as for every other
// test program.

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>

#include "tests/support/PrivateTmpDir.h"

int main(int argc, char** argv)
{
    const trovanta_test::PrivateTmpDir tmp;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
