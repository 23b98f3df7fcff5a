// Copy in one running program, paste in another, through the X clipboard.
// Needs a real X server: the test starts its own Xvfb (and is skipped when
// there is none on the machine).
#include "project/projecttest.h"
#include "project/vetradoc.h"
#include "streamio/streamtable.h"
#include "support/silentui.h"
#include "support/testsupport.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ClipboardBetweenPrograms, TwoObjectsArriveWithEveryFieldAndTheirViewState)
{
    const QString xvfbRun = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (xvfbRun.isEmpty())
        GTEST_SKIP() << "xvfb-run is not installed";
    QTemporaryDir dir;
    StreamIO::InitStreamLayer();
    TestSupport::CSilentUi ui;
    CVetraDoc source(ui);
    QList<TVetraObject> objects;
    for (int i = 1; i <= 4; ++i) {
        TVetraObject o = TestSupport::MakeObject(std::uint16_t(i), {20 + i, 30, 255, 41}, std::uint8_t(i % 4));
        o.comment = QStringLiteral("Comment %1\r\nwith ümlauts & Ω").arg(i);
        o.timeStamp = 1772349330 + (i - 1) * 86400;   // March i, 2026, 08:15:30 in Berlin
        o.neighborCorrection = std::uint8_t(10 * i);
        objects << o;
    }
    source.AddObjects(objects, false, false);
    source.Current().SetExpanded(1, true);
    source.Current().SetDiagramOrder(3, 1);
    source.Current().SetObjectName(3, QStringLiteral("Renamed in the first program"));
    const QString project = dir.filePath(QStringLiteral("source.qxs"));
    ASSERT_TRUE(source.SaveToPath(project));

    const QString peer = QStringLiteral(VETRA_PEER);
    const QString pasted = dir.filePath(QStringLiteral("pasted.qxs"));
    const QString script =
        QStringLiteral("\"%1\" copy \"%2\" \"%4\" & copier=$!; \"%1\" paste \"%3\" \"%4\"; p=$?; wait $copier; c=$?; "
                       "[ $p -eq 0 ] && [ $c -eq 0 ] || { echo \"paste $p copy $c\" >&2; exit 1; }")
            .arg(peer, project, pasted, dir.path());
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));   // the real X server this time
    run.setProcessEnvironment(env);
    run.start(xvfbRun, {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 800x600x24"),
                        QStringLiteral("sh"), QStringLiteral("-c"), script});
    ASSERT_TRUE(run.waitForFinished(90000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();

    CVetraDoc target(ui);
    ASSERT_TRUE(target.OpenProject(pasted, false));
    ASSERT_EQ(target.Current().GetCount(), 2);
    for (int k = 0; k < 2; ++k)
        ProjectTest::ExpectSameObject(target.Current().GetObject(k), source.Current().GetObject(k == 0 ? 1 : 3));
    EXPECT_TRUE(target.Current().GetObject(0).expanded);
    EXPECT_EQ(target.Current().GetObject(1).diagramOrder, 1);
    StreamIO::ShutdownStreamLayer();
}

}   // namespace
