// The inspection report written as a PDF and read back as text: the first
// page's facts, the summary's figures, the bands on every page, the objects
// once each and in order, and the paper.
#include "render/coverreport.h"

#include "data/units.h"
#include "renderfixture.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using namespace Render;

QString tool(const char *name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// pdftotext -layout of each page, runs of blanks made one, so that a table's
// row reads as its cells one blank apart.
QStringList pageTexts(const QString &pdf, int pages)
{
    QStringList texts;
    for (int page = 1; page <= pages; ++page) {
        QString text = run(tool("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page),
                                               QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
        text = text.normalized(QString::NormalizationForm_KC);
        text.replace(QRegularExpression(QStringLiteral("[ \\t]+")), QStringLiteral(" "));
        texts << text;
    }
    return texts;
}

int pdfPages(const QString &pdf)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run(tool("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString pageSize(const QString &pdf)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Page size:\\s+([^\\n]*)")).match(run(tool("pdfinfo"), {pdf}));
    return m.captured(1);
}

SPrintBands bands(const QString &file)
{
    return TestSupport::PrintBands(QStringLiteral("Inspection report"), file);
}

object_t object(std::uint16_t number, const char *name, std::initializer_list<int> covers, std::int64_t stamp,
                std::uint8_t regional = Regional_Metric)
{
    object_t o = ToProjectObject(TestSupport::MakeObject(number, covers, regional), false);
    o.objectName = QString::fromUtf8(name);
    o.timeStamp = stamp;
    return o;
}

// Three objects of two instruments, in January (no summer time in Berlin):
// twenty covers 30, 32, 34, 36, 38 four times, on 2026-01-14 at 09:41:07; an
// inch object with three valid covers 25, 27, 29, on 01-15 at 10:00; two
// covers 40, 41 from an instrument that recorded no serial number, on 01-02
// at 08:05.
std::vector<object_t> fixtureObjects()
{
    std::vector<object_t> list;
    list.push_back(object(
        1, "North wall", {30, 32, 34, 36, 38, 30, 32, 34, 36, 38, 30, 32, 34, 36, 38, 30, 32, 34, 36, 38}, 1768380067));
    list.push_back(object(2, "South wall", {25, 27, 255, 29}, 1768467600, Regional_AstmInch));
    list.push_back(object(3, "Column C3", {40, 41}, 1767337500));
    list.back().serialNumber.clear();
    list.back().softwareVersion = QStringLiteral("2.11");
    return list;
}

SInspectionReport report(const std::vector<object_t> &objects, std::optional<double> required)
{
    SInspectionReport r;
    r.projectTitle = QStringLiteral("site.qxs");
    r.objects = TestSupport::Pointers(objects);
    r.settings.requiredCover = required;
    r.look = TestSupport::TableLook(300);
    r.bands = bands(r.projectTitle);
    return r;
}

TEST(InspectionReport, InstrumentsAreListedHonestly)
{
    const std::vector<object_t> objects = fixtureObjects();
    EXPECT_EQ(InstrumentLines(TestSupport::Pointers(objects)),
              (QStringList{QStringLiteral("Vetrameter+, serial number VM-00417, software 2.03 (objects: 2)"),
                           QStringLiteral("Vetrameter+, no serial number recorded, software 2.11 (objects: 1)")}));

    std::vector<object_t> many;
    for (int i = 0; i < 9; ++i) {
        many.push_back(object(std::uint16_t(i + 1), "x", {30}, 0));
        many.back().serialNumber = QStringLiteral("S%1").arg(i % 8);
        many.back().deviceName.clear();
    }
    const QStringList lines = InstrumentLines(TestSupport::Pointers(many), 3);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("instrument without a name, serial number S0, software 2.03 (objects: 2)"));
    EXPECT_EQ(lines[3], QStringLiteral("and 5 more"));
    EXPECT_TRUE(InstrumentLines({}).isEmpty());
}

TEST(InspectionReport, FirstPageSummaryAndHistogramTellTheFigures)
{
    if (tool("pdftotext").isEmpty() || tool("pdfinfo").isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("report.pdf"));
    const std::vector<object_t> objects = fixtureObjects();
    SReportPages pages;
    QString error;
    ASSERT_TRUE(WriteInspectionReportPdf(file, report(objects, 30.0), QPageSize::A4, &error, &pages))
        << error.toStdString();
    EXPECT_EQ(pages.summaryFirst, 2);
    EXPECT_EQ(pages.summaryCount, 1);
    EXPECT_EQ(pages.histogram, 3);
    EXPECT_EQ(pages.objectsFirst, 4);
    ASSERT_EQ(pdfPages(file), pages.total);
    EXPECT_TRUE(pageSize(file).contains(QStringLiteral("(A4)"))) << pageSize(file).toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("report.pdf")})
        << "no temporary left";

    const QStringList texts = pageTexts(file, pages.total);
    const QString &first = texts[0];
    auto expectIn = [](const QString &text, const char *what) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(what))) << what << "\n" << text.toStdString();
    };
    expectIn(first, "Project site.qxs");
    expectIn(first, "Vetrameter+, serial number VM-00417, software 2.03 (objects: 2)");
    expectIn(first, "Vetrameter+, no serial number recorded, software 2.11 (objects: 1)");
    expectIn(first, "Measured 01/02/2026 8:05 AM to 01/15/2026 10:00 AM");
    expectIn(first, "Objects 3");
    expectIn(first, "Measurements 26 (valid covers: 25)");
    expectIn(first, "Required minimum cover 30 mm");
    EXPECT_TRUE(first.contains(QRegularExpression(QStringLiteral("Quantile 5 ?%"))))
        << "pdftotext may join a narrow blank";
    // All 25 covers: mean 842 / 25, s 4.0694, characteristic 33.68 − 1.6449 × 4.0694.
    expectIn(first, "Valid measurements 25");
    expectIn(first, "Mean cover 33.7 mm");
    expectIn(first, "Standard deviation 4.1 mm");
    expectIn(first, "Minimum cover 25 mm");
    expectIn(first, "Maximum cover 41 mm");
    expectIn(first, "Below the required cover 3 of 25 (12 %)");
    expectIn(first, "Characteristic value, normal (5 % quantile) 27.0 mm");
    expectIn(first, "Characteristic value, log-normal 27.3 mm");
    expectIn(first, "Assessment not met");

    // The summary in each object's unit: the inch object in inches.
    const QString &summary = texts[1];
    expectIn(summary, "Summary of the objects");
    expectIn(summary, "No. Name Date n Mean s Min. Char. value Below Assessment");
    // 34 − 1.6449 × 2.9019 = 29.23 < 30: not met, though no cover is below.
    expectIn(summary, "001 North wall 01/14/2026 20 34.0 mm 2.9 mm 30 mm 29.2 mm 0 not met");
    // 27 / 25.4, 2 / 25.4, 25 / 25.4, (27 − 1.6449 × 2) / 25.4; three valid covers are too few.
    expectIn(summary, "002 South wall 01/15/2026 3 1.063 inch 0.079 inch 0.98 inch 0.933 inch 3 too few");
    expectIn(summary, "003 Column C3 01/02/2026 2 40.5 mm 0.7 mm 40 mm 39.3 mm 0 too few");
    expectIn(summary, "All objects 25 33.7 mm 4.1 mm 25 mm 27.0 mm 3 not met");

    const QString &histogram = texts[2];
    expectIn(histogram, "Distribution of the covers");
    expectIn(histogram, "required 30 mm");
    expectIn(histogram, "Normal distribution");
    expectIn(histogram, "Log-normal distribution");
    expectIn(histogram, "Cover (mm)");

    for (int page = 0; page < pages.total; ++page) {
        SCOPED_TRACE(page + 1);
        expectIn(texts[page], QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages.total).toUtf8().constData());
        expectIn(texts[page], "Quelix");
        expectIn(texts[page], "Inspection report");
        expectIn(texts[page], "Vetradesk Version 1.0.1.0");
        expectIn(texts[page], "12/09/2026 10:52 AM");
        expectIn(texts[page], "site.qxs");
    }
}

TEST(InspectionReport, ManyObjectsRepeatTheTableHeaderAndComeOnceEachInOrder)
{
    if (tool("pdftotext").isEmpty() || tool("pdfinfo").isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("many.pdf"));
    std::vector<object_t> objects;
    for (int i = 0; i < 90; ++i)
        objects.push_back(
            object(std::uint16_t(i + 1), "", {20 + i % 30, 31, 33}, 1767596400 + 60 * (i % 60)));   // 2026-01-05 08:mm
    for (object_t &o : objects)
        o.objectName = QStringLiteral("Wall %1").arg(o.objectNumber);
    SReportPages pages;
    QString error;
    ASSERT_TRUE(WriteInspectionReportPdf(file, report(objects, std::nullopt), QPageSize::Letter, &error, &pages))
        << error.toStdString();
    EXPECT_GT(pages.summaryCount, 1) << "91 rows do not fit on one page";
    EXPECT_GT(pages.total - pages.objectsFirst + 1, 10);
    ASSERT_EQ(pdfPages(file), pages.total);
    EXPECT_TRUE(pageSize(file).contains(QStringLiteral("(letter)"))) << pageSize(file).toStdString();
    const QStringList texts = pageTexts(file, pages.total);

    const QRegularExpression name(QStringLiteral("\\bWall (\\d+)\\b"));
    std::vector<int> summaryOrder;
    for (int page = pages.summaryFirst; page < pages.summaryFirst + pages.summaryCount; ++page) {
        const QString &t = texts[page - 1];
        EXPECT_TRUE(t.contains(QStringLiteral("No. Name Date n Mean s Min. Char. value Below Assessment"))) << page;
        for (auto it = name.globalMatch(t); it.hasNext();)
            summaryOrder.push_back(it.next().captured(1).toInt());
    }
    EXPECT_EQ(summaryOrder.size(), 90u);
    EXPECT_TRUE(std::is_sorted(summaryOrder.begin(), summaryOrder.end()));
    EXPECT_TRUE(texts[pages.summaryFirst + pages.summaryCount - 2].contains(QStringLiteral("All objects 270")))
        << "3 covers each";

    std::vector<int> order;
    std::vector<int> numbers;
    const QRegularExpression number(QStringLiteral("(?:^|\\n) ?(\\d{3}) Wall"));
    for (int page = pages.objectsFirst; page <= pages.total; ++page) {
        const QString &t = texts[page - 1];
        EXPECT_TRUE(t.contains(QStringLiteral("Object number"))) << "the column header row on page " << page;
        for (auto it = name.globalMatch(t); it.hasNext();)
            order.push_back(it.next().captured(1).toInt());
        for (auto it = number.globalMatch(t); it.hasNext();)
            numbers.push_back(it.next().captured(1).toInt());
    }
    std::vector<int> expected(90);
    for (int i = 0; i < 90; ++i)
        expected[std::size_t(i)] = i + 1;
    EXPECT_EQ(order, expected) << "each object once, in order";
    EXPECT_EQ(numbers, expected);
    for (int page = 0; page < pages.total; ++page)
        EXPECT_TRUE(texts[page].contains(QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages.total))) << page;
}

TEST(InspectionReport, WithoutObjectsThreePagesSaySo)
{
    if (tool("pdftotext").isEmpty() || tool("pdfinfo").isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("empty.pdf"));
    SReportPages pages;
    ASSERT_TRUE(WriteInspectionReportPdf(file, report({}, std::nullopt), QPageSize::A4, nullptr, &pages));
    EXPECT_EQ(pages.total, 3);
    EXPECT_EQ(pages.objectsFirst, 0);
    ASSERT_EQ(pdfPages(file), 3);
    const QStringList texts = pageTexts(file, 3);
    EXPECT_TRUE(texts[0].contains(QStringLiteral("Required minimum cover none")));
    EXPECT_TRUE(texts[0].contains(QStringLiteral("Assessment no limit")));
    EXPECT_TRUE(texts[1].contains(QStringLiteral("The report holds no objects.")));
    EXPECT_TRUE(texts[2].contains(QStringLiteral("No valid cover")));
}

TEST(InspectionReport, AMissingFolderIsNamedAndASuccessReplacesTheFile)
{
    QTemporaryDir dir;
    const std::vector<object_t> objects = fixtureObjects();
    QString error;
    const QString missing = dir.filePath(QStringLiteral("gone/report.pdf"));
    EXPECT_FALSE(WriteInspectionReportPdf(missing, report(objects, 30.0), QPageSize::A4, &error));
    EXPECT_EQ(error, QStringLiteral("The folder does not exist."));
    EXPECT_FALSE(QFile::exists(missing));

    // A successful write replaces what was there.
    const QString target = dir.filePath(QStringLiteral("report.pdf"));
    TestSupport::WriteBytes(target, "old");
    ASSERT_TRUE(WriteInspectionReportPdf(target, report(objects, 30.0), QPageSize::A4, &error)) << error.toStdString();
    EXPECT_TRUE(TestSupport::ReadBytes(target).startsWith("%PDF"));
}

TEST(InspectionReport, AFolderThatCannotBeWrittenKeepsItsFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into any folder";
    QTemporaryDir dir;
    const std::vector<object_t> objects = fixtureObjects();
    QString error;
    const QString locked = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(locked));
    TestSupport::WriteBytes(locked + QStringLiteral("/report.pdf"), "old");
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    error.clear();
    EXPECT_FALSE(
        WriteInspectionReportPdf(locked + QStringLiteral("/report.pdf"), report(objects, 30.0), QPageSize::A4, &error));
    EXPECT_EQ(error, QStringLiteral("Access is denied."));
    EXPECT_EQ(TestSupport::ReadBytes(locked + QStringLiteral("/report.pdf")), QByteArray("old"));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}   // namespace
