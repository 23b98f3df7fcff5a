// Opening a file with the desktop's program: whether the desktop had one is
// read from the opener's exit status, not assumed from its start.
#include "gui/desktopservices.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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

TEST_F(OpenFile, AManualShownWithoutWaitingStillReportsAMissingViewer)
{
    QObject context;
    std::optional<QString> failure;
    opener("case \"$1\" in\n"
           "  *found.pdf) exit 0 ;;\n"
           "  *late.pdf) sleep 0.3; exit 3 ;;\n"
           "  *) echo \"xdg-open: no method available for opening '$1'\" >&2; exit 3 ;;\n"
           "esac");
    desktop.ShowFile(QStringLiteral("/tmp/manual.pdf"), &context, [&](const QString &reason) { failure = reason; });
    EXPECT_FALSE(failure) << "the window is not held while the opener works";
    ASSERT_TRUE(QTest::qWaitFor([&] { return failure.has_value(); }));
    EXPECT_EQ(*failure, QStringLiteral("xdg-open: no method available for opening '/tmp/manual.pdf'"));

    // A viewer found says nothing; an opener that ends after its caller is gone calls nobody.
    bool called = false;
    desktop.ShowFile(QStringLiteral("/tmp/found.pdf"), &context, [&](const QString &) { called = true; });
    {
        QObject gone;
        desktop.ShowFile(QStringLiteral("/tmp/late.pdf"), &gone, [&](const QString &) { called = true; });
    }
    QTest::qWait(800);
    EXPECT_FALSE(called);
}

}   // namespace
