// vetradesk-cli report: its options, the stored assessment settings, the
// title, the paper, and the exit codes of bad options and unwritable files.
#include "support/clirun.h"

#include "data/datafile.h"
#include "support/testsupport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using TestSupport::RunCli;

QString S(const char *text)
{
    return QString::fromUtf8(text);
}

QString run(const char *program, const QStringList &args)
{
    const QString path = QStandardPaths::findExecutable(S(program));
    if (path.isEmpty())
        return {};
    QProcess p;
    p.start(path, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The first page's text with runs of blanks made one.
QString firstPage(const QString &pdf)
{
    QString text = run("pdftotext", {S("-layout"), S("-l"), S("1"), pdf, S("-")});
    return text.replace(QRegularExpression(S("[ \\t]+")), S(" "));
}

class CliReport : public ::testing::Test
{
protected:
    QString dataFile(const char *name, const TVetraObject &object)
    {
        const QString path = dir.filePath(S(name));
        TestSupport::WriteBytes(path, EncodeDataFileText(FormatDataFile(object)));
        return path;
    }
    QTemporaryDir dir;
    TestSupport::CCliSettings settings;
};

TEST_F(CliReport, BadOptionsAreUsageErrorsAndBadFilesFileErrors)
{
    const QString input = dataFile("a.csv", TestSupport::MakeObject(1, {30, 31}));
    const QString out = dir.filePath(S("out.pdf"));
    const QList<QStringList> usage{{S("report"), input},
                                   {S("report"), S("--pdf"), out},
                                   {S("report"), S("--pdf")},
                                   {S("report"), S("--pdf"), out, S("--paper"), S("a3"), input},
                                   {S("report"), S("--pdf"), out, S("--min-cover"), S("x"), input},
                                   {S("report"), S("--pdf"), out, S("--min-cover"), S("255"), input},
                                   {S("report"), S("--pdf"), out, S("--quantile"), S("0.7"), input},
                                   {S("report"), S("--pdf"), out, S("--bogus"), input}};
    for (const QStringList &args : usage) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const TestSupport::CliResult r = RunCli(args);
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains(S("Usage:")));
    }
    EXPECT_FALSE(QFile::exists(out));

    const TestSupport::CliResult missingInput = RunCli({S("report"), S("--pdf"), out, dir.filePath(S("none.csv"))});
    EXPECT_EQ(missingInput.code, 2);
    EXPECT_FALSE(QFile::exists(out));

    const QString gone = dir.filePath(S("gone/out.pdf"));
    const TestSupport::CliResult unwritable = RunCli({S("report"), S("--pdf"), gone, input});
    EXPECT_EQ(unwritable.code, 2);
    EXPECT_TRUE(unwritable.err.contains(gone + S(": the file cannot be written: The folder does not exist.")))
        << unwritable.err.toStdString();
}

TEST_F(CliReport, WritesTheReportWithTheSettingsOfTheRun)
{
    TVetraObject wall = TestSupport::MakeObject(1, {30, 31, 32});
    wall.objectName = S("Wall A");
    const QString a = dataFile("a.csv", wall);
    const QString b = dataFile("b.csv", TestSupport::MakeObject(2, {40, 41}));
    const QString out = dir.filePath(S("out.pdf"));

    TestSupport::CliResult r = RunCli({S("report"), S("--pdf"), out, S("--min-cover"), S("31.5"), S("--quantile"),
                                       S("0.1"), S("--paper"), S("letter"), a});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    const QString info = run("pdfinfo", {out});
    if (info.isEmpty())
        GTEST_SKIP() << "pdfinfo and pdftotext are not installed";
    EXPECT_TRUE(info.contains(S("(letter)"))) << info.toStdString();
    QString text = firstPage(out);
    EXPECT_TRUE(text.contains(S("Project a.csv"))) << "one input names the project";
    EXPECT_TRUE(text.contains(S("Required minimum cover 31.5 mm"))) << text.toStdString();
    EXPECT_TRUE(text.contains(S("Quantile 10 %")));
    EXPECT_TRUE(text.contains(S("Below the required cover 2 of 3 (66.7 %)")));

    // Two inputs make an unnamed project; the stored settings count where no option is given.
    ASSERT_EQ(RunCli({S("settings"), S("--min-cover"), S("35"), S("--quantile"), S("0.05")}).code, 0);
    r = RunCli({S("report"), S("--pdf"), out, a, b});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(run("pdfinfo", {out}).contains(S("(A4)")));
    text = firstPage(out);
    EXPECT_TRUE(text.contains(S("Project Unnamed")));
    EXPECT_TRUE(text.contains(S("Required minimum cover 35 mm")));
    EXPECT_TRUE(text.contains(S("Objects 2")));
    r = RunCli({S("report"), S("--pdf"), out, S("--min-cover"), S("none"), a});
    ASSERT_EQ(r.code, 0);
    EXPECT_TRUE(firstPage(out).contains(S("Required minimum cover none")));
    ASSERT_EQ(RunCli({S("settings"), S("--min-cover"), S("none")}).code, 0);
}

}   // namespace
