// Every suite runs with a fixed time zone and a private, empty configuration
// and runtime folder, so that no test sees the user's settings.
#include "support/testsupport.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    TestSupport::CTestEnvironment environment;
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
