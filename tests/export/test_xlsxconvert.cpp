// vetradesk-cli convert -o OUT.xlsx, end to end: data files in, a workbook out.
#include "export/csvexport.h"

#include "support/clirun.h"
#include "support/testsupport.h"
#include "xlsxdump.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace TestSupport;
using XlsxDump::SSheet;

namespace {

QString S(const char *text)
{
    return QString::fromUtf8(text);
}

class XlsxConvert : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Object 1: ten covers of 30 mm and ten of 40 mm; then the hand-made fixture's object 7.
        TVetraObject twenty = MakeObject(1, {});
        for (std::uint8_t n = 1; n <= 20; ++n)
            twenty.measurements.push_back({n, std::uint8_t(n <= 10 ? 30 : 40), 16});
        input = dir.filePath(S("twenty.csv"));
        ASSERT_TRUE(WriteCsvOneFile(input, {twenty}));
    }

    QTemporaryDir dir;
    QString input;
    const QString fixture = FixturePath(S("handmade.csv"));
};

}   // namespace

TEST_F(XlsxConvert, WritesTheWorkbookWithTheAssessmentOptions)
{
    if (!XlsxDump::HaveOpenpyxl())
        GTEST_SKIP() << "/usr/bin/python3 cannot import openpyxl";
    const QString out = dir.filePath(S("Report.XLSX"));
    const CliResult r = RunCli({S("convert"), S("--min-cover"), S("25"), S("-o"), out, input, fixture});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QString());

    const auto book = XlsxDump::Read(out);
    ASSERT_TRUE(book);
    ASSERT_EQ(book->size(), 2);
    const SSheet &objects = book->at(0);
    EXPECT_EQ(objects.maxRow, 4);
    EXPECT_EQ(objects.maxColumn, 13);
    EXPECT_NUMBER_CELL(objects.at(2, 1), 1, 0);
    EXPECT_NUMBER_CELL(objects.at(2, 7), 20, 0);
    EXPECT_NUMBER_CELL(objects.at(2, 12), 26.562078931995, 1e-9);
    EXPECT_TEXT_CELL(objects.at(2, 13), "met");

    // The fixture's object 7: covers 35, n/a and 120 mm, measured on 14.3.2023 at 9:05:07.
    EXPECT_NUMBER_CELL(objects.at(3, 1), 7, 0);
    EXPECT_TEXT_CELL(objects.at(3, 2), "Wall A");
    EXPECT_EQ(objects.at(3, 3).value.toString(), S("2023-03-14T09:05:07"));
    EXPECT_NUMBER_CELL(objects.at(3, 7), 2, 0);
    EXPECT_NUMBER_CELL(objects.at(3, 8), 77.5, 1e-9);
    EXPECT_NUMBER_CELL(objects.at(3, 9), 60.104076400857, 1e-9);
    EXPECT_NUMBER_CELL(objects.at(3, 10), 35, 0);
    EXPECT_NUMBER_CELL(objects.at(3, 11), 120, 0);
    EXPECT_NUMBER_CELL(objects.at(3, 12), -21.362408062517, 1e-9);
    EXPECT_TEXT_CELL(objects.at(3, 13), "too few values");

    // Its object 12: ASTM inch, 1.38 and 0.98 in read as 35 and 25 mm, at 14:30 in summer, which the
    // table shows an hour earlier.
    EXPECT_NUMBER_CELL(objects.at(4, 1), 12, 0);
    EXPECT_TEXT_CELL(objects.at(4, 2), "Slab & stairs");
    EXPECT_EQ(objects.at(4, 3).value.toString(), S("2023-07-02T13:30:00"));
    EXPECT_TEXT_CELL(objects.at(4, 4), "ASTM inch");
    EXPECT_TEXT_CELL(objects.at(4, 5), "auto");
    EXPECT_TEXT_CELL(objects.at(4, 6), "inch");
    EXPECT_NUMBER_CELL(objects.at(4, 8), 1.181102362205, 1e-9);
    EXPECT_NUMBER_CELL(objects.at(4, 9), 0.278388496530, 1e-9);
    EXPECT_NUMBER_CELL(objects.at(4, 10), 0.984251968504, 1e-9);
    EXPECT_NUMBER_CELL(objects.at(4, 11), 1.377952755906, 1e-9);
    EXPECT_NUMBER_CELL(objects.at(4, 12), 0.723194033986, 1e-9);

    const SSheet &measurements = book->at(1);
    EXPECT_EQ(measurements.maxRow, 26);
    EXPECT_NUMBER_CELL(measurements.at(21, 4), 40, 0);
    EXPECT_NUMBER_CELL(measurements.at(22, 4), 35, 0);
    EXPECT_NUMBER_CELL(measurements.at(22, 5), 16, 0);
    EXPECT_EMPTY_CELL(measurements.at(23, 4));   // n/a
    EXPECT_NUMBER_CELL(measurements.at(23, 5), 8, 0);
    EXPECT_NUMBER_CELL(measurements.at(24, 4), 120, 0);
    EXPECT_EMPTY_CELL(measurements.at(24, 5));
    EXPECT_TEXT_CELL(measurements.at(24, 6), "mm");
    EXPECT_NUMBER_CELL(measurements.at(26, 3), 10, 0);
    EXPECT_NUMBER_CELL(measurements.at(26, 4), 0.984251968504, 1e-9);
    EXPECT_NUMBER_CELL(measurements.at(26, 5), 10, 0);   // raw code 32 is a #10 bar
    EXPECT_TEXT_CELL(measurements.at(26, 6), "inch");

    // Without the option the stored choice holds, and a fresh configuration sets no limit.
    const QString plain = dir.filePath(S("plain.xlsx"));
    ASSERT_EQ(RunCli({S("convert"), S("-o"), plain, input}).code, 0);
    const auto noLimit = XlsxDump::Read(plain);
    ASSERT_TRUE(noLimit);
    EXPECT_EQ(noLimit->at(0).maxColumn, 11);
}

TEST_F(XlsxConvert, RefusesWhatItCannotDo)
{
    const QString out = dir.filePath(S("out.xlsx"));
    struct Case
    {
        QStringList args;
        int code;
        const char *message;
    };
    const Case cases[] = {
        {{S("--min-cover"), S("25"), S("-o"), dir.filePath(S("out.csv"))},
         1,
         "--min-cover and --quantile apply to workbooks: the output must end in .xlsx"},
        {{S("--quantile"), S("0.1"), S("-o"), dir.filePath(S("out.qxs"))},
         1,
         "--min-cover and --quantile apply to workbooks: the output must end in .xlsx"},
        {{S("--each"), S("-o"), out}, 1, "--each writes data files: the output must end in .csv"},
        {{S("--quantile"), S("0.7"), S("-o"), out}, 1, "the quantile is a share above 0 and at most 0.5"},
        {{S("--min-cover"), S("many"), S("-o"), out}, 1, "the required cover is a number of millimetres"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CliResult r = RunCli(QStringList{S("convert")} + c.args + QStringList{input});
        EXPECT_EQ(r.code, c.code);
        EXPECT_TRUE(r.err.contains(S(c.message))) << r.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(c.args.last()));
    }

    const QString missing = dir.filePath(S("no/such/out.xlsx"));
    const CliResult r = RunCli({S("convert"), S("-o"), missing, input});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, S("vetradesk-cli: ") + missing + S(": the file cannot be written: No such file or directory\n"));
}
