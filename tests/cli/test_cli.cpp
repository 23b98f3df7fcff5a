#include "support/clirun.h"

#include "data/datafile.h"
#include "data/units.h"

#include "support/testsupport.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace TestSupport;

namespace {

QString S(const char *text)
{
    return QString::fromUtf8(text);
}

using Result = TestSupport::CliResult;

class CliTest : public ::testing::Test
{
protected:
    static Result Invoke(const QStringList &args) { return TestSupport::RunCli(args); }
    QString file(const char *name, const QString &text = {})
    {
        const QString path = dir.filePath(S(name));
        if (!text.isNull())
            WriteBytes(path, EncodeDataFileText(text));
        return path;
    }
    const QString fixture = FixturePath(S("handmade.csv"));
    QTemporaryDir dir;
    TestSupport::CCliSettings settings;
};

}   // namespace

TEST_F(CliTest, UsageErrors)
{
    EXPECT_EQ(Invoke({S("--help")}).code, 0);
    EXPECT_TRUE(Invoke({S("--help")}).out.contains(S("Usage:")));
    const Result unknown = Invoke({S("frobnicate")});
    EXPECT_EQ(unknown.code, 1);
    EXPECT_TRUE(unknown.err.contains(S("\"frobnicate\"")));

    const QString out = file("out.csv");
    const QList<QStringList> wrong = {{},
                                      {S("info")},
                                      {S("info"), S("--bogus"), fixture},
                                      {S("info"), S("--json=1"), fixture},
                                      {S("convert"), fixture},
                                      {S("convert"), fixture, S("-o")},
                                      {S("convert"), S("-o"), out},
                                      {S("convert"), S("--each"), S("-x"), S("-o"), out, fixture}};
    for (const QStringList &args : wrong) {
        const Result r = Invoke(args);
        EXPECT_EQ(r.code, 1) << args.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(S("Usage:"))) << args.join(u' ').toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(out));
}

TEST_F(CliTest, InfoPrintsOneRowPerObject)
{
    const Result r = Invoke({S("info"), fixture});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, QString());
    EXPECT_EQ(r.out, S("007\tWall A\t03/14/2023 9:05 AM\t35 mm\t120 mm\tMetric\t3\tmanual\n"
                       "012\tSlab & stairs\t07/02/2023 1:30 PM\t0.98 inch\t1.38 inch\tASTM inch\t2\tauto\n"));

    const QString empty = file("empty.csv", FormatDataFile(MakeObject(0xFFFF, {}, 2)));
    EXPECT_EQ(Invoke({S("info"), empty}).out,
              S("65535\tObject 65535\t01/01/1970 1:00 AM\t -- mm\t -- mm\tASTM mm\t0\tmanual\n"));

    // Local time follows the process's zone, for reading and for printing.
    ScopedTimeZone utc("UTC");
    const Result r3 = Invoke({S("info"), fixture});
    EXPECT_TRUE(r3.out.contains(S("\t07/02/2023 2:30 PM\t"))) << r3.out.toStdString();
    EXPECT_TRUE(r3.out.contains(S("\t03/14/2023 9:05 AM\t")));
}

TEST_F(CliTest, InfoJson)
{
    const QString noCover = file("nocover.csv", FormatDataFile(MakeObject(4, {255})));
    const Result r = Invoke({S("info"), S("--json"), fixture, noCover});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    // Integers are written exactly, not as doubles.
    EXPECT_TRUE(r.out.contains(S("\"version\": 4294967296")));
    EXPECT_TRUE(r.out.contains(S("\"version\": 4294967298")));
    QJsonParseError error;
    const QJsonArray all = QJsonDocument::fromJson(r.out.toUtf8(), &error).array();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    ASSERT_EQ(all.size(), 3);

    const QJsonObject a = all[0].toObject();
    QStringList keys = a.keys();
    QStringList expected = S("file version deviceName serialNumber softwareVersion hardwareIndex signature regional "
                             "storageMode rawDefaultBarDiameter neighborCorrection comment objectName timeStamp "
                             "objectNumber measurements statistics")
                               .split(u' ');
    keys.sort();
    expected.sort();
    EXPECT_EQ(keys, expected);
    const QByteArray compact = QJsonDocument(a).toJson(QJsonDocument::Compact);
    for (const char *part :
         {"\"deviceName\":\"Vetrameter+\"", "\"softwareVersion\":\"2.03\"", "\"hardwareIndex\":\"B\"", "\"regional\":0",
          "\"storageMode\":0", "\"rawDefaultBarDiameter\":16", "\"neighborCorrection\":50",
          "\"comment\":\"North face\\r\\nsecond bay & stairs\"", "\"objectNumber\":7",
          "\"measurements\":[[1,35,16],[2,255,8],[3,120,0]]",
          "\"statistics\":{\"count\":3,\"max\":120,\"mean\":77,\"min\":35,\"stdDev\":60}"})
        EXPECT_TRUE(compact.contains(part)) << part << " in " << compact.constData();
    EXPECT_EQ(a[S("file")].toString(), fixture);
    EXPECT_EQ(a[S("timeStamp")].toInteger(), 1678781107);   // 14.3.2023 9:05:07 CET

    const QJsonObject inch = all[1].toObject()[S("statistics")].toObject();
    EXPECT_DOUBLE_EQ(inch[S("mean")].toDouble(), 30 / 25.4);
    EXPECT_DOUBLE_EQ(inch[S("stdDev")].toDouble(), 7 / 25.4);
    EXPECT_EQ(all[2].toObject()[S("file")].toString(), noCover);
    EXPECT_EQ(QJsonDocument(all[2].toObject()[S("statistics")].toObject()).toJson(QJsonDocument::Compact),
              QByteArray("{\"count\":1,\"max\":65535,\"mean\":65535,\"min\":65535,\"stdDev\":65535}"));
}

TEST_F(CliTest, AssessGivesEachObjectAndTheTotalAgainstTheRequiredCover)
{
    // Twenty valid covers in an inch object (one more without a value), and a short one.
    TVetraObject twenty = MakeObject(
        1, {22, 25, 27, 28, 30, 31, 31, 32, 33, 34, 35, 35, 36, 37, 38, 40, 41, 42, 44, 47, 255}, Regional_AstmInch);
    twenty.objectName = S("Wall");
    const QString a = file("a.csv", FormatDataFile(twenty));
    const QString b = file("b.csv", FormatDataFile(MakeObject(2, {50, 52})));
    const Result r = Invoke({S("assess"), S("--json"), S("--min-cover"), S("23.5"), a, b});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QJsonParseError error;
    const QJsonObject all = QJsonDocument::fromJson(r.out.toUtf8(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_DOUBLE_EQ(all[S("requiredCover")].toDouble(), 23.5);
    EXPECT_DOUBLE_EQ(all[S("quantile")].toDouble(), 0.05);
    const QJsonArray objects = all[S("objects")].toArray();
    ASSERT_EQ(objects.size(), 2);
    const QJsonObject wall = objects[0].toObject();
    EXPECT_EQ(wall[S("objectName")].toString(), S("Wall"));
    EXPECT_EQ(wall[S("count")].toInt(), 20);
    EXPECT_NEAR(wall[S("mean")].toDouble(), 34.4, 1e-9) << "millimetres, whatever the regional setting";
    EXPECT_EQ(wall[S("belowCount")].toInt(), 1);
    EXPECT_NEAR(wall[S("characteristicNormal")].toDouble(), 23.7615247993179, 1e-9);
    EXPECT_EQ(wall[S("verdict")].toString(), S("met"));
    EXPECT_EQ(objects[1].toObject()[S("verdict")].toString(), S("too few"));
    const QJsonObject total = all[S("total")].toObject();
    EXPECT_EQ(total[S("count")].toInt(), 22);
    EXPECT_EQ(total[S("max")].toDouble(), 52);

    const Result plain = Invoke({S("assess"), a});
    ASSERT_EQ(plain.code, 0);
    const QStringList lines = plain.out.trimmed().split(u'\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(S("1\tWall\t20\t34.4\t6.5\t22\t47\t0\t23.8\t24.6\tno limit")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(S("total\t"))) << lines[1].toStdString();

    // A stored required cover and quantile are used until an option says otherwise.
    const Result stored = Invoke({S("settings"), S("--min-cover"), S("23.5"), S("--quantile"), S("0.1")});
    ASSERT_EQ(stored.code, 0) << stored.err.toStdString();
    EXPECT_TRUE(stored.out.contains(S("RequiredCover:\t23.5\nAssessQuantile:\t0.1\n"))) << stored.out.toStdString();
    const Result withStored = Invoke({S("assess"), a});
    EXPECT_TRUE(withStored.out.startsWith(S("1\tWall\t20\t34.4\t6.5\t22\t47\t1\t26.1\t")))
        << withStored.out.toStdString();
    EXPECT_TRUE(withStored.out.contains(S("\tmet\n")));
    EXPECT_TRUE(Invoke({S("assess"), S("--min-cover"), S("none"), a}).out.contains(S("no limit")));
    ASSERT_EQ(Invoke({S("settings"), S("--min-cover"), S("none"), S("--quantile"), S("0.05")}).code, 0);
    EXPECT_TRUE(Invoke({S("settings")}).out.contains(S("RequiredCover:\tnone\n")));

    for (const char *value : {"-1", "255", "x"})
        EXPECT_EQ(Invoke({S("assess"), S("--min-cover"), S(value), a}).code, 1) << value;
    for (const char *value : {"0", "0.6", "p"})
        EXPECT_EQ(Invoke({S("assess"), S("--quantile"), S(value), a}).code, 1) << value;
}

TEST_F(CliTest, InfoReportsEachBadInputAndGoesOn)
{
    const QString text = file("notes.txt", FormatDataFile(MakeObject(1, {})));
    const QString nothing = file("nothing.csv", S("just some text\r\n"));
    const QString missing = file("missing.csv");
    const Result r = Invoke({S("info"), text, fixture, missing, nothing});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out.count(u'\n'), 2);
    const QStringList lines = r.err.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << r.err.toStdString();
    EXPECT_TRUE(lines[0].contains(text));
    EXPECT_TRUE(lines[1].contains(missing));
    EXPECT_TRUE(lines[2].contains(nothing));
}

TEST_F(CliTest, ProjectThatCannotBeReadSaysWhyOnASecondLine)
{
    const QString readError = S("This is not a Vetradesk project file or there was an error while reading.");
    const QString missing = file("missing.qxs");
    const QString cut = file("cut.qxs");
    WriteBytes(cut, "not a project");   // "ot" reads as the length of a title that is not there
    const QString foreign = file("foreign.qxs");
    WriteBytes(foreign, QByteArray::fromHex("FE0300610062006300"));   // the title "abc"
    const struct
    {
        QString path, reason;
    } cases[] = {
        {missing, QString::fromLocal8Bit(std::strerror(ENOENT))},
        {cut, S("The data ended unexpectedly.")},
        {foreign, S("The data could not be read.")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        for (const char *command : {"info", "sort"}) {
            const QStringList args = QString::fromLatin1(command) == u"sort"
                                         ? QStringList{S("sort"), S("--mode"), S("2"), c.path}
                                         : QStringList{S("info"), c.path};
            const Result r = Invoke(args);
            EXPECT_EQ(r.code, 2) << command;
            EXPECT_EQ(r.err,
                      S("vetradesk-cli: ") + c.path + S(": ") + readError + u'\n' + c.path + S(": ") + c.reason + u'\n')
                << command;
            EXPECT_EQ(r.out, QString()) << command;
        }
    }
    EXPECT_FALSE(QFileInfo::exists(missing)) << "sort never creates the file it could not read";
}

TEST_F(CliTest, OutOfRangeDateEndsWithExitTwo)
{
    TVetraObject o = MakeObject(3, {30});
    o.timeStamp = 1672909200;   // 2023-01-05 10:00 CET
    const QString bad = file("bad.csv", FormatDataFile(MakeObject(1, {20}))
                                            + FormatDataFile(o).replace(S("5.1.2023  10:0:0"), S("32.1.2023  10:0:0")));
    for (const QStringList &args : {QStringList{S("info"), fixture, bad}, QStringList{S("info"), S("--json"), bad}}) {
        const Result r = Invoke(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.err.contains(bad) && r.err.contains(S("32.1.2023"))) << r.err.toStdString();
        EXPECT_EQ(r.err.count(u'\n'), 1);
        EXPECT_EQ(r.out, QString());
    }
    const QString out = file("out.csv");
    EXPECT_EQ(Invoke({S("convert"), S("-o"), out, fixture, bad}).code, 2);
    EXPECT_FALSE(QFileInfo::exists(out));
}

TEST_F(CliTest, ConvertWritesTheExportLayout)
{
    // The hand-made fixture is in the writer's layout, so it comes out unchanged.
    const QString out = file("out.csv");
    const Result one = Invoke({S("convert"), S("-o"), out, fixture});
    ASSERT_EQ(one.code, 0) << one.err.toStdString();
    const QByteArray original = ReadBytes(fixture);
    EXPECT_EQ(ReadBytes(out), original.mid(original.indexOf("Vetrameter+ Data File Version")));

    TVetraObject third = MakeObject(9, {33, 34}, 3);
    third.objectName = S("\u00e9t\u00e9");
    const QString other = file("other.csv", FormatDataFile(third));
    const QList<TVetraObject> read = ReadCsvFile(fixture);
    const QString texts[] = {FormatDataFile(read[0]), FormatDataFile(read[1]), FormatDataFile(third)};
    ASSERT_EQ(Invoke({S("convert"), S("--output=") + out, fixture, other}).code, 0);
    EXPECT_EQ(ReadBytes(out),
              EncodeDataFileText(texts[0] + DataFileSeparator() + texts[1] + DataFileSeparator() + texts[2]));

    const QString each = file("part.csv");
    ASSERT_EQ(Invoke({S("convert"), S("--each"), S("-o"), each, fixture, other}).code, 0);
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(ReadBytes(dir.filePath(S("part%1.csv").arg(n))), EncodeDataFileText(texts[n - 1])) << n;
    EXPECT_FALSE(QFileInfo::exists(each));
    EXPECT_FALSE(QFileInfo::exists(file("part4.csv")));
}

TEST_F(CliTest, ConvertRefusesBadFilesWithoutWriting)
{
    const QString out = file("keep.csv");
    WriteBytes(out, "previous");
    const QString missing = file("missing.csv");
    const Result r = Invoke({S("convert"), S("-o"), out, fixture, missing});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(missing));
    EXPECT_EQ(ReadBytes(out), QByteArray("previous"));

    for (const QString &target : {file("out.txt"), file("no/such/dir/out.csv")}) {
        const Result refused = Invoke({S("convert"), S("-o"), target, fixture});
        EXPECT_EQ(refused.code, 2);
        EXPECT_TRUE(refused.err.contains(target)) << refused.err.toStdString();
        EXPECT_EQ(refused.err.count(u'\n'), 1);
        EXPECT_FALSE(QFileInfo::exists(target));
    }
}
