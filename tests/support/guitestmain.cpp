// Widget suites: the environment of every suite, a guarded QApplication on
// the offscreen platform and one fixed font, so that geometry does not depend
// on the machine.
#include "gui/guardedapplication.h"
#include "support/testsupport.h"

#include <QFont>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    TestSupport::CTestEnvironment environment;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    CGuardedApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    return RUN_ALL_TESTS();
}
