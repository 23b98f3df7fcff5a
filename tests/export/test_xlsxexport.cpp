#include "export/xlsxexport.h"

#include "data/units.h"
#include "export/csvexport.h"

#include "support/testsupport.h"
#include "xlsxdump.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;
using XlsxDump::SSheet;

namespace {

QString S(const char *text)
{
    return QString::fromUtf8(text);
}

TVetraObject WithCovers(std::uint16_t number, const std::vector<int> &covers, std::uint8_t regional = 0)
{
    TVetraObject o = MakeObject(number, {}, regional);
    std::uint8_t n = 1;
    for (int c : covers)
        o.measurements.push_back({n++, std::uint8_t(c), 16});
    return o;
}

std::vector<int> Repeated(std::initializer_list<std::pair<int, int>> runs)
{
    std::vector<int> out;
    for (auto [value, count] : runs)
        out.insert(out.end(), std::size_t(count), value);
    return out;
}

// A metric object with a name beyond ASCII and an invalid cover, an inch
// object in summer time, and a Japanese one with nothing valid at all.
QList<TVetraObject> ThreeObjects()
{
    TVetraObject metric = MakeObject(7, {20, 31, 255}, Regional_Metric);
    metric.objectName = S("Stütze Nord – Œ ß");
    metric.timeStamp = 1673769930;   // 2023-01-15 09:05:30 CET
    TVetraObject inch = MakeObject(12, {25, 51, 76}, Regional_AstmInch);
    inch.timeStamp = 1688212800;   // 2023-07-01 14:00 CEST
    TVetraObject nothing = MakeObject(3, {255}, Regional_Japanese);
    nothing.storageMode = Storage_Auto;
    nothing.measurements[0].rawDiameter = 0;
    nothing.timeStamp = 0;
    return {metric, inch, nothing};
}

std::optional<QList<SSheet>> WriteAndRead(const QString &path, const QList<TVetraObject> &objects,
                                          const SAssessmentSettings &assessment = {}, int firstRows = 0)
{
    QString error;
    if (!WriteXlsxWorkbook(path, objects, assessment, nullptr, &error)) {
        ADD_FAILURE() << error.toStdString();
        return std::nullopt;
    }
    return XlsxDump::Read(path, firstRows);
}

class Recorder : public IExportProgress
{
public:
    void setProgress(int permille) override { steps.push_back(permille); }
    void setStatusText(const QString &text) override { texts.append(text); }
    std::vector<int> steps;
    QStringList texts;
};

#define REQUIRE_OPENPYXL()                                                                                             \
    if (!XlsxDump::HaveOpenpyxl())                                                                                     \
    GTEST_SKIP() << "/usr/bin/python3 cannot import openpyxl"

}   // namespace

TEST(XlsxExport, PathRule)
{
    for (const char *refused : {".xlsx", "a.xls", "/tmp/a.xlsx.bak", "a.csv"})
        EXPECT_FALSE(IsXlsxPath(S(refused))) << refused;
    for (const char *accepted : {"a.xlsx", "/tmp/Report.XLSX", "b.XlSx"})
        EXPECT_TRUE(IsXlsxPath(S(accepted))) << accepted;
}

TEST(XlsxExport, ObjectsSheet)
{
    REQUIRE_OPENPYXL();
    QTemporaryDir dir;
    const auto book = WriteAndRead(dir.filePath(S("out.xlsx")), ThreeObjects());
    ASSERT_TRUE(book);
    ASSERT_EQ(book->size(), 2);
    const SSheet &s = book->at(0);
    EXPECT_EQ(s.name, S("Objects"));
    EXPECT_EQ(s.texts(1), (QStringList{S("Object number"), S("Name"), S("Date and time"), S("Regional setting"),
                                       S("Storage mode"), S("Unit"), S("n"), S("Mean cover"), S("Standard deviation s"),
                                       S("Minimum cover"), S("Maximum cover")}));
    EXPECT_EQ(s.maxRow, 4);
    EXPECT_EQ(s.maxColumn, 11);   // no required cover: no characteristic value, no verdict
    EXPECT_EQ(s.freeze, S("A2"));

    // Millimetres, as the table shows them.
    EXPECT_NUMBER_CELL(s.at(2, 1), 7, 0);
    EXPECT_EQ(s.at(2, 1).format, S("000"));
    EXPECT_TEXT_CELL(s.at(2, 2), "Stütze Nord – Œ ß");
    EXPECT_EQ(s.at(2, 3).type, S("d"));
    EXPECT_EQ(s.at(2, 3).value.toString(), S("2023-01-15T09:05:30"));
    EXPECT_EQ(s.at(2, 3).format, S("yyyy-mm-dd hh:mm:ss"));
    EXPECT_TEXT_CELL(s.at(2, 4), "Metric");
    EXPECT_TEXT_CELL(s.at(2, 5), "manual");
    EXPECT_TEXT_CELL(s.at(2, 6), "mm");
    EXPECT_NUMBER_CELL(s.at(2, 7), 2, 0);   // the invalid cover does not count
    EXPECT_NUMBER_CELL(s.at(2, 8), 25.5, 1e-9);
    EXPECT_NUMBER_CELL(s.at(2, 9), 7.778174593052, 1e-9);
    EXPECT_NUMBER_CELL(s.at(2, 10), 20, 0);
    EXPECT_NUMBER_CELL(s.at(2, 11), 31, 0);
    EXPECT_EQ(s.at(2, 8).format, S("0.0"));
    EXPECT_EQ(s.at(2, 10).format, S("0"));

    // Inches, and summer time an hour earlier like the table.
    EXPECT_NUMBER_CELL(s.at(3, 1), 12, 0);
    EXPECT_EQ(s.at(3, 3).value.toString(), S("2023-07-01T13:00:00"));
    EXPECT_TEXT_CELL(s.at(3, 4), "ASTM inch");
    EXPECT_TEXT_CELL(s.at(3, 6), "inch");
    EXPECT_NUMBER_CELL(s.at(3, 7), 3, 0);
    EXPECT_NUMBER_CELL(s.at(3, 8), 1.994750656168, 1e-9);
    EXPECT_NUMBER_CELL(s.at(3, 9), 1.004001336007, 1e-9);
    EXPECT_NUMBER_CELL(s.at(3, 10), 0.984251968504, 1e-9);
    EXPECT_NUMBER_CELL(s.at(3, 11), 2.992125984252, 1e-9);
    EXPECT_EQ(s.at(3, 8).format, S("0.000"));
    EXPECT_EQ(s.at(3, 10).format, S("0.00"));

    // Nothing valid: the figures stay empty, n is a zero.
    EXPECT_EQ(s.at(4, 3).value.toString(), S("1970-01-01T01:00:00"));
    EXPECT_TEXT_CELL(s.at(4, 4), "Japanese");
    EXPECT_TEXT_CELL(s.at(4, 5), "auto");
    EXPECT_TEXT_CELL(s.at(4, 6), "mm");
    EXPECT_NUMBER_CELL(s.at(4, 7), 0, 0);
    for (int col = 8; col <= 11; ++col)
        EXPECT_EMPTY_CELL(s.at(4, col));

    // Widths follow the longest text, two characters more (Excel adds its own padding of under one).
    ASSERT_EQ(s.widths.size(), 11);
    EXPECT_NEAR(s.widths[0], 15, 1);   // "Object number"
    EXPECT_NEAR(s.widths[1], 19, 1);   // the name, 17 characters
    EXPECT_NEAR(s.widths[2], 21, 1);   // the date picture
    EXPECT_NEAR(s.widths[8], 22, 1);   // "Standard deviation s"
}

TEST(XlsxExport, MeasurementsSheet)
{
    REQUIRE_OPENPYXL();
    QTemporaryDir dir;
    const auto book = WriteAndRead(dir.filePath(S("out.xlsx")), ThreeObjects());
    ASSERT_TRUE(book);
    ASSERT_EQ(book->size(), 2);
    const SSheet &s = book->at(1);
    EXPECT_EQ(s.name, S("Measurements"));
    EXPECT_EQ(s.texts(1), (QStringList{S("Object number"), S("Name"), S("Measurement number"), S("Cover"),
                                       S("Bar diameter (mm, or # size)"), S("Unit")}));
    EXPECT_EQ(s.freeze, S("A2"));
    ASSERT_EQ(s.maxRow, 8);
    EXPECT_EQ(s.maxColumn, 6);

    struct Row
    {
        int number;
        const char *name;
        int measurement;
        std::optional<double> cover;
        const char *coverFormat;
        std::optional<int> bar;
        const char *unit;
    };
    const Row rows[] = {
        {7, "Stütze Nord – Œ ß", 1, 20, "0", 16, "mm"},
        {7, "Stütze Nord – Œ ß", 2, 31, "0", 16, "mm"},
        {7, "Stütze Nord – Œ ß", 3, std::nullopt, "", 16, "mm"},
        {12, "Object 12", 1, 0.984251968504, "0.00", 5, "inch"},   // raw code 16 is a #5 bar
        {12, "Object 12", 2, 2.007874015748, "0.00", 5, "inch"},
        {12, "Object 12", 3, 2.992125984252, "0.00", 5, "inch"},
        {3, "Object 3", 1, std::nullopt, "", std::nullopt, "mm"},
    };
    for (int k = 0; k < int(std::size(rows)); ++k) {
        SCOPED_TRACE(k);
        const Row &r = rows[k];
        const int row = k + 2;
        EXPECT_NUMBER_CELL(s.at(row, 1), r.number, 0);
        EXPECT_TEXT_CELL(s.at(row, 2), r.name);
        EXPECT_NUMBER_CELL(s.at(row, 3), r.measurement, 0);
        if (r.cover) {
            EXPECT_NUMBER_CELL(s.at(row, 4), *r.cover, 1e-9);
            EXPECT_EQ(s.at(row, 4).format, S(r.coverFormat));
        } else {
            EXPECT_EMPTY_CELL(s.at(row, 4));
        }
        if (r.bar)
            EXPECT_NUMBER_CELL(s.at(row, 5), *r.bar, 0);
        else
            EXPECT_EMPTY_CELL(s.at(row, 5));
        EXPECT_TEXT_CELL(s.at(row, 6), r.unit);
    }
}

TEST(XlsxExport, CharacteristicValueAndVerdictOnlyWithARequiredCover)
{
    REQUIRE_OPENPYXL();
    QTemporaryDir dir;
    const std::vector<int> good = Repeated({{30, 10}, {40, 10}});   // mean 35, s 5.1299
    const QList<TVetraObject> objects = {WithCovers(1, good), WithCovers(2, good, Regional_AstmInch),
                                         WithCovers(3, Repeated({{20, 10}, {30, 10}})), WithCovers(4, {20, 31}),
                                         WithCovers(5, {40})};
    SAssessmentSettings assessment;
    assessment.requiredCover = 25;
    const auto book = WriteAndRead(dir.filePath(S("judged.xlsx")), objects, assessment);
    ASSERT_TRUE(book);
    const SSheet &s = book->at(0);
    EXPECT_EQ(s.maxColumn, 13);
    EXPECT_TEXT_CELL(s.at(1, 12), "Characteristic value (normal)");
    EXPECT_TEXT_CELL(s.at(1, 13), "Verdict");

    struct Row
    {
        std::optional<double> characteristic;
        const char *format;
        const char *verdict;
    };
    const Row rows[] = {
        {26.562078931995, "0.0", "met"},    // 35 − 1.64485 × 5.12989
        {1.045751139055, "0.000", "met"},   // the same in inches; judged in millimetres
        {16.562078931995, "0.0", "not met"},  {12.706041309557, "0.0", "too few values"},   // fewer than 20 values
        {std::nullopt, "", "too few values"},                                               // one value has no spread
    };
    for (int k = 0; k < int(std::size(rows)); ++k) {
        SCOPED_TRACE(k);
        if (rows[k].characteristic) {
            EXPECT_NUMBER_CELL(s.at(k + 2, 12), *rows[k].characteristic, 1e-9);
            EXPECT_EQ(s.at(k + 2, 12).format, S(rows[k].format));
        } else {
            EXPECT_EMPTY_CELL(s.at(k + 2, 12));
        }
        EXPECT_TEXT_CELL(s.at(k + 2, 13), rows[k].verdict);
    }

    // The quantile moves the characteristic value: 35 − 1.28155 × 5.12989.
    assessment.quantile = 0.10;
    const auto tenth = WriteAndRead(dir.filePath(S("tenth.xlsx")), {objects[0]}, assessment);
    ASSERT_TRUE(tenth);
    EXPECT_NUMBER_CELL(tenth->at(0).at(2, 12), 28.425779183352, 1e-9);

    // The measurements sheet does not change with it.
    EXPECT_EQ(book->at(1).maxColumn, 6);
}

TEST(XlsxExport, TextsAFileCannotHoldAndWidthsAreBounded)
{
    REQUIRE_OPENPYXL();
    QTemporaryDir dir;
    TVetraObject odd = MakeObject(1, {30});
    odd.objectName = QStringLiteral("A\u0001B\u001FC\tD");
    TVetraObject longName = MakeObject(2, {30});
    longName.objectName = QString(100, u'x');
    TVetraObject unknown = MakeObject(kUnknownObjectNumber, {30});
    const auto book = WriteAndRead(dir.filePath(S("odd.xlsx")), {odd, longName, unknown});
    ASSERT_TRUE(book);
    const SSheet &s = book->at(0);
    EXPECT_TEXT_CELL(s.at(2, 2), "ABC\tD");
    EXPECT_EQ(s.at(3, 2).value.toString().size(), 100);
    EXPECT_NEAR(s.widths[1], 60, 1);
    EXPECT_EMPTY_CELL(s.at(4, 1));   // no object number is no number
    EXPECT_TEXT_CELL(s.at(4, 2), "Object 65535");
    EXPECT_EMPTY_CELL(book->at(1).at(4, 1));
}

TEST(XlsxExport, NoObjectsGivesTheHeadersAlone)
{
    REQUIRE_OPENPYXL();
    QTemporaryDir dir;
    Recorder progress;
    const QString path = dir.filePath(S("empty.xlsx"));
    ASSERT_TRUE(WriteXlsxWorkbook(path, {}, {}, &progress));
    EXPECT_EQ(progress.steps.front(), 0);
    EXPECT_EQ(progress.steps.back(), 1000);
    const auto book = XlsxDump::Read(path);
    ASSERT_TRUE(book);
    ASSERT_EQ(book->size(), 2);
    EXPECT_EQ(book->at(0).maxRow, 1);
    EXPECT_EQ(book->at(1).maxRow, 1);
    EXPECT_TEXT_CELL(book->at(1).at(1, 4), "Cover");
}

TEST(XlsxExport, ProgressRisesToTheEnd)
{
    QTemporaryDir dir;
    Recorder progress;
    const QString path = dir.filePath(S("p.xlsx"));
    ASSERT_TRUE(WriteXlsxWorkbook(path, ThreeObjects(), {}, &progress));
    ASSERT_GE(progress.steps.size(), 3u);
    EXPECT_EQ(progress.steps.front(), 0);
    EXPECT_EQ(progress.steps.back(), 1000);
    EXPECT_TRUE(std::is_sorted(progress.steps.begin(), progress.steps.end()));
    EXPECT_EQ(progress.texts.first(), S("Please wait while preparing for export..."));
    EXPECT_EQ(progress.texts.last(), S("Creating ") + path + S(" ..."));
}

TEST(XlsxExport, FailureLeavesNothingBehind)
{
    QTemporaryDir dir;
    QString error;

    const QString missing = dir.filePath(S("no/such/out.xlsx"));
    EXPECT_FALSE(WriteXlsxWorkbook(missing, ThreeObjects(), {}, nullptr, &error));
    EXPECT_EQ(error, S("No such file or directory"));
    EXPECT_FALSE(QFileInfo::exists(missing));

    // A folder in the way: the workbook is made, but cannot take its name.
    const QString folder = dir.filePath(S("folder.xlsx"));
    ASSERT_TRUE(QDir().mkdir(folder));
    error.clear();
    EXPECT_FALSE(WriteXlsxWorkbook(folder, ThreeObjects(), {}, nullptr, &error));
    EXPECT_EQ(error, S("Is a directory"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{S("folder.xlsx")});
}

TEST(XlsxExport, ReplacesAnOldFileOnlyOnSuccess)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(S("old.xlsx"));
    WriteBytes(path, "previous");
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(WriteXlsxWorkbook(path, ThreeObjects(), {}));
    EXPECT_TRUE(ReadBytes(path).startsWith("PK"));   // a zip container now
    struct stat kept
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &kept), 0);
    EXPECT_EQ(kept.st_mode & 0777, 0640u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{S("old.xlsx")});
}

TEST(XlsxExport, FolderThatCannotBeWritten)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes anywhere";
    QTemporaryDir dir;
    const QString path = dir.filePath(S("old.xlsx"));
    WriteBytes(path, "previous");
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    QString error;
    EXPECT_FALSE(WriteXlsxWorkbook(path, ThreeObjects(), {}, nullptr, &error));
    EXPECT_EQ(error, S("Permission denied"));
    EXPECT_EQ(ReadBytes(path), QByteArray("previous"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{S("old.xlsx")});
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// 10 600 objects of 99 measurements are 1 049 400 rows, 825 more than a sheet holds below its header.
TEST(XlsxExport, MeasurementsGoOnInASecondSheet)
{
    REQUIRE_OPENPYXL();
    std::vector<int> covers;
    for (int j = 0; j < kMaxMeasurements; ++j)
        covers.push_back(20 + j);
    QList<TVetraObject> objects;
    for (int k = 1; k <= 10600; ++k)
        objects.append(WithCovers(std::uint16_t(k), covers));
    QTemporaryDir dir;
    const auto book = WriteAndRead(dir.filePath(S("big.xlsx")), objects, {}, 2);
    ASSERT_TRUE(book);
    ASSERT_EQ(book->size(), 3);
    EXPECT_EQ(book->at(1).name, S("Measurements"));
    EXPECT_EQ(book->at(1).maxRow, 1048576);
    const SSheet &more = book->at(2);
    EXPECT_EQ(more.name, S("Measurements 2"));
    EXPECT_EQ(more.maxRow, 826);
    EXPECT_TEXT_CELL(more.at(1, 3), "Measurement number");
    // Measurement 1 048 576 overall is object 10 592's 67th (10 591 × 99 = 1 048 509).
    EXPECT_NUMBER_CELL(more.at(2, 1), 10592, 0);
    EXPECT_NUMBER_CELL(more.at(2, 3), 67, 0);
    EXPECT_NUMBER_CELL(more.at(2, 4), 86, 0);
}
