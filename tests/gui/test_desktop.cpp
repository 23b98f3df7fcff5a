// Opening a file with the desktop's program: whether the desktop had one is
// read from the opener's exit status, not assumed from its start.
#include "gui/desktopservices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class OpenFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.path()) + ':' + oldPath);
    }
    void TearDown() override { qputenv("PATH", oldPath); }

    // An xdg-open of our own that behaves as told.
    void opener(const QByteArray &script)
    {
        const QString path = dir.filePath(QStringLiteral("xdg-open"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + script + "\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QTemporaryDir dir;
    QByteArray oldPath;
    CDesktopServices desktop;
};

TEST_F(OpenFile, NoProgramForTheFileIsAFailureWithTheOpenersReason)
{
    opener("echo \"xdg-open: no method available for opening '$1'\" >&2; exit 3");
    QString reason;
    EXPECT_FALSE(desktop.OpenFile(QStringLiteral("/tmp/Setup_1.0.2.0.exe"), &reason));
    EXPECT_EQ(reason, QStringLiteral("xdg-open: no method available for opening '/tmp/Setup_1.0.2.0.exe'"));
}

TEST_F(OpenFile, AnOpenerThatSaysNothingGivesItsCode)
{
    opener("exit 4");
    QString reason;
    EXPECT_FALSE(desktop.OpenFile(QStringLiteral("/tmp/a.pdf"), &reason));
    EXPECT_EQ(reason, QStringLiteral("The desktop's opener ended with code 4."));
}

TEST_F(OpenFile, AProgramFoundIsASuccess)
{
    opener("test \"$1\" = /tmp/a.pdf");
    QString reason;
    EXPECT_TRUE(desktop.OpenFile(QStringLiteral("/tmp/a.pdf"), &reason));
    EXPECT_TRUE(reason.isEmpty());
}

} // namespace
