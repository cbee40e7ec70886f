// Entry point of the test executables of the headless layers: an event loop without any
// GUI, and a private home that exists before any test (or static) touches the environment.
#include "tests/testsupport/TempHome.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    lumora::test::TempHome home;
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
