// Entry point of every test executable: a headless QApplication and a private home
// that exists before any test (or static) touches the environment.
#include "tests/testsupport/TempHome.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    lumora::test::TempHome home;
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
