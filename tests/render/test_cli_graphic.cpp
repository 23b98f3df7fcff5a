// vetradesk-cli export-graphic, run as a process without a display.
#include "support/testsupport.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct SRun
{
    int code = -1;
    QString err;
};

SRun tool(const QStringList &args, const QString &config)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));   // the tool sets its own
    env.remove(QStringLiteral("DISPLAY"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VETRA_PROGRAM_DIR "/vetradesk-cli"), args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

TEST(CliExportGraphic, PicturesOfTheRowsAsChosen)
{
    QTemporaryDir dir;
    const QString sample = TestSupport::SourcePath(QStringLiteral("samples/demo.csv"));   // three objects
    const QString headers = dir.filePath(QStringLiteral("headers.PNG"));
    ASSERT_EQ(tool({QStringLiteral("export-graphic"), QStringLiteral("--what"), QStringLiteral("headers"),
                    QStringLiteral("-o"), headers, sample},
                   dir.path())
                  .code,
              0);
    EXPECT_EQ(QImage(headers).height(), 26 + 22 * 3);

    const QString details = dir.filePath(QStringLiteral("details.bmp"));
    ASSERT_EQ(tool({QStringLiteral("export-graphic"), QStringLiteral("-o"), details, sample}, dir.path()).code, 0);
    EXPECT_GT(QImage(details).height(), 26 + 3 * (22 + 300));
    EXPECT_EQ(QImage(details).width(), QImage(headers).width());

    const QString each = dir.filePath(QStringLiteral("object.jpg"));
    ASSERT_EQ(tool({QStringLiteral("export-graphic"), QStringLiteral("--each"), QStringLiteral("--what"),
                    QStringLiteral("headers"), QStringLiteral("-o"), each, sample},
                   dir.path())
                  .code,
              0);
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(QImage(dir.filePath(QStringLiteral("object%1.jpg").arg(n))).height(), 26 + 22) << n;
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("object4.jpg"))));
}

TEST(CliExportGraphic, WrongNamesAndUnwritableFiles)
{
    QTemporaryDir dir;
    const QString sample = TestSupport::SourcePath(QStringLiteral("samples/demo.csv"));
    const SRun gif = tool(
        {QStringLiteral("export-graphic"), QStringLiteral("-o"), dir.filePath(QStringLiteral("x.gif")), sample},
        dir.path());
    EXPECT_EQ(gif.code, 1);
    EXPECT_TRUE(gif.err.contains(QStringLiteral("pictures are written as .png, .bmp or .jpg")));
    EXPECT_EQ(tool({QStringLiteral("export-graphic"), QStringLiteral("--what"), QStringLiteral("all"),
                    QStringLiteral("-o"), dir.filePath(QStringLiteral("x.png")), sample},
                   dir.path())
                  .code,
              1);
    const QString gone = dir.filePath(QStringLiteral("gone/x.png"));
    const SRun unwritable = tool({QStringLiteral("export-graphic"), QStringLiteral("-o"), gone, sample}, dir.path());
    EXPECT_EQ(unwritable.code, 2);
    EXPECT_TRUE(unwritable.err.contains(gone)) << unwritable.err.toStdString();
}

}   // namespace

namespace {

QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(CliPrint, APdfOfTheObjectsWithTheFooter)
{
    QTemporaryDir dir;
    const QString sample = TestSupport::SourcePath(QStringLiteral("samples/demo.csv"));
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    ASSERT_EQ(tool({QStringLiteral("print"), QStringLiteral("--pdf"), pdf, QStringLiteral("--paper"),
                    QStringLiteral("letter"), sample},
                   dir.path())
                  .code,
              0);
    ASSERT_TRUE(QFile::exists(pdf));
    const QString text = pdfText(pdf);
    if (text.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    EXPECT_TRUE(text.contains(QStringLiteral("Page 1 of 1")));
    EXPECT_TRUE(text.contains(QStringLiteral("Unnamed")));
    EXPECT_TRUE(text.contains(QStringLiteral("Wall A, north face")));
    EXPECT_EQ(tool({QStringLiteral("print"), QStringLiteral("--pdf"), pdf, QStringLiteral("--paper"),
                    QStringLiteral("a3"), sample},
                   dir.path())
                  .code,
              1);
    EXPECT_EQ(
        tool({QStringLiteral("print"), QStringLiteral("--pdf"), dir.filePath(QStringLiteral("gone/out.pdf")), sample},
             dir.path())
            .code,
        2);
}

}   // namespace
