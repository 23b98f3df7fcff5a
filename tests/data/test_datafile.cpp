#include "data/datafile.h"
#include "data/units.h"
#include "res/resources.h"

#include "support/testsupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <tuple>

using namespace TestSupport;

namespace {

QString S(const char *text)
{
    return QString::fromUtf8(text);
}
QString B(int n)
{
    return QString(n, u' ');
}
const QString kCrLf = QStringLiteral("\r\n");

// Every field of an object on one line, so that a mismatch shows all of it.
std::string Summary(const TVetraObject &o)
{
    QStringList f = {o.version.toString(CVersion::Style::TwoParts),
                     o.deviceName,
                     o.serialNumber,
                     o.softwareVersion,
                     o.hardwareIndex,
                     o.signature};
    for (int v : {int(o.regional), int(o.storageMode), int(o.rawDefaultBarDiameter), int(o.neighborCorrection),
                  int(o.objectNumber)})
        f << QString::number(v);
    f << o.objectName << o.comment << QString::number(o.timeStamp);
    for (const TMeas &m : o.measurements)
        f << QStringLiteral("%1/%2/%3").arg(m.number).arg(m.cover).arg(m.rawDiameter);
    return f.join(u'|').toStdString();
}

TVetraObject Parsed(const QString &text, bool expectOk = true)
{
    TVetraObject o;
    EXPECT_EQ(ParseDataFile(text, o), expectOk) << text.left(60).toStdString();
    return o;
}

// The object of the layout checks; the tests edit its text one value at a time.
TVetraObject Sample()
{
    TVetraObject o = MakeObject(7, {});
    o.neighborCorrection = 50;
    o.objectName = S("Wall A");
    o.comment = S("Line 1\r\nLine 2 & x");
    o.timeStamp = 1677902767;   // 2023-03-04 05:06:07 CET
    return o;
}

QString Edited(const QString &text, const QString &from, const QString &to)
{
    EXPECT_TRUE(text.contains(from)) << from.toStdString();
    return QString(text).replace(from, to);
}

QString WithoutLine(const QString &text, const char *key)
{
    QStringList lines = text.split(kCrLf);
    lines.removeIf([&](const QString &l) { return l.contains(S(key)); });
    return lines.join(kCrLf);
}

struct SourceGuard
{
    explicit SourceGuard(const Res::IStringSource *s) { Res::SetStringSource(s); }
    ~SourceGuard() { Res::SetStringSource(nullptr); }
};

}   // namespace

TEST(DataFile, HandMadeFixtureReadsAndIsReproducedByteForByte)
{
    const QString path = FixturePath(S("handmade.csv"));
    const QList<TVetraObject> objects = ReadCsvFile(path);
    ASSERT_EQ(objects.size(), 2);
    EXPECT_EQ(Summary(objects[0]), "1.0|Vetrameter+|VM-00417|2.03|B|SIG-7F|0|0|16|50|7|Wall A|"
                                   "North face\r\nsecond bay & stairs|"
                                   "1678781107|1/35/16|2/255/8|3/120/0");   // 14.3.2023 9:05:07 CET
    EXPECT_EQ(Summary(objects[1]), "1.2|Vetrameter+|VM-00418|2.04|C|SIG-80|1|1|16|70|12|Slab & stairs||"
                                   "1688301000|1/35/16|10/25/32");   // 2.7.2023 14:30:00 CEST

    const QByteArray bytes = ReadBytes(path);
    const QByteArray marker = "Vetrameter+ Data File Version";
    const qsizetype first = bytes.indexOf(marker);
    const qsizetype second = bytes.indexOf(marker, first + 1);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, first + 445);
    EXPECT_EQ(EncodeDataFileText(FormatDataFile(objects[0])), bytes.mid(first, second - 445 - first));
    EXPECT_EQ(EncodeDataFileText(DataFileSeparator()), bytes.mid(second - 445, 445));
    EXPECT_EQ(EncodeDataFileText(FormatDataFile(objects[1])), bytes.mid(second));
}

TEST(DataFile, WriterLayout)
{
    const QString text = FormatDataFile(Sample());
    const QStringList lines = text.split(kCrLf);
    ASSERT_EQ(lines.size(), 31);   // 30 lines, each ending in CR LF, and nothing after them
    EXPECT_EQ(lines.last(), QString());
    EXPECT_EQ(text.count(u'\n'), text.count(kCrLf));
    for (const QString &line : lines)
        EXPECT_TRUE(!line.contains(QStringLiteral(";;;")) || line.indexOf(QStringLiteral(";;;")) == 36)
            << line.toStdString();
    EXPECT_EQ(lines[0], S("Vetrameter+ Data File Version       ;;;'1.0"));
    EXPECT_EQ(lines[1] + lines[8] + lines[15] + lines[18] + lines[19] + lines[20] + lines[26] + lines[27], QString());
    EXPECT_EQ(lines[2] + u'|' + lines[9] + u'|' + lines[16] + u'|' + lines[21],
              S("Instrument Data|Settings|Comment|Data"));
    EXPECT_EQ(lines[17], S("    \"Line 1&#13Line 2 &amp x\""));
    EXPECT_EQ(lines[23], S("    Object Name                     ;;;\"Wall A\""));
    EXPECT_EQ(lines[24], S("    Date                            ;;;'4.3.2023  5:6:7"));
    EXPECT_EQ(lines[25], S("    # of Measurements               ;;;0"));
    EXPECT_EQ(Summary(Parsed(text)), Summary(Sample()));

    TVetraObject o = Sample();
    o.objectNumber = 0xFFFF;
    o.storageMode = 1;
    EXPECT_TRUE(FormatDataFile(o).contains(S(";;;Auto\r\n")));
    EXPECT_TRUE(FormatDataFile(o).contains(S(";;;65535\r\n")));
    for (auto [regional, storage] : {std::pair{4, 0}, std::pair{255, 0}, std::pair{0, 2}, std::pair{0, 255}}) {
        o.regional = std::uint8_t(regional), o.storageMode = std::uint8_t(storage);
        EXPECT_EQ(FormatDataFile(o), QString()) << regional << "/" << storage;
    }
}

// Metric and ASTM inch are laid out in the hand-made fixture.
TEST(DataFile, AstmMmAndJapaneseVariants)
{
    TVetraObject o = Sample();
    o.measurements = {{3, 35, 16}, {12, 255, 0}, {99, 7, 5}};
    const QString na = S("n/a") + B(15);
    const QString naRow = S("12") + B(16) + u';' + na + u';' + na + S(";n/a");
    struct Case
    {
        std::uint8_t regional;
        const char *defaultLine, *correctionLine, *header;
        QStringList rows;
    };
    const Case cases[] = {
        {Regional_AstmMm,
         "    Default Bar Diameter            ;;;'#5",
         "    Neighboring Bar Correction [mm] ;;;'50",
         "Number            ;Cover [mm]        ;Diameter          ;Raw Diameter [mm] ",
         {S(" 3") + B(16) + S("; 35") + B(15) + S(";#5") + B(16) + S(";16"), naRow,
          S("99") + B(16) + S(";  7") + B(15) + S(";#2") + B(16) + S("; 5")}},
        {Regional_Japanese,
         "    Default Bar Diameter [mm]       ;;;'16",
         "    Neighboring Bar Correction [mm] ;;;'50",
         "Number            ;Cover [mm]        ;Diameter [mm]     ;Raw Diameter [mm] ",
         {S(" 3") + B(16) + S("; 35") + B(15) + S(";16") + B(16) + S(";16"), naRow,
          S("99") + B(16) + S(";  7") + B(15) + S("; 6") + B(16) + S("; 5")}},
    };
    for (const Case &c : cases) {
        o.regional = c.regional;
        const QString text = FormatDataFile(o);
        const QStringList lines = text.split(kCrLf);
        ASSERT_EQ(lines.size(), 34);
        EXPECT_EQ(lines[13], S(c.defaultLine)) << int(c.regional);
        EXPECT_EQ(lines[14], S(c.correctionLine)) << int(c.regional);
        EXPECT_EQ(lines[28], S(c.header)) << int(c.regional);
        EXPECT_EQ(lines[29], S("------------------;------------------;------------------;------------------"));
        EXPECT_EQ(lines.mid(30, 3), c.rows) << int(c.regional);
        EXPECT_EQ(Summary(Parsed(text)), Summary(o));
    }
}

TEST(DataFile, Escaping)
{
    EXPECT_EQ(EscapeText(S("a&b\r\nc\nd\"e\tf\rg")), S("a&ampb&#13c&#13d&quote&#9f\rg"));
    EXPECT_EQ(UnescapeText(S("&#9&quot&#13&amp")), S("\t\"\r\n&"));
    // "&amp" is undone last, so escaped entity texts stay texts.
    EXPECT_EQ(UnescapeText(S("&amp#9 &ampquot &amp#13")), S("&#9 &quot &#13"));
    for (const char *t : {"&#13", "&amp;", "&quot", "x&#9y", "\r\n\t\"", "&&&", "lone\r", ""})
        EXPECT_EQ(UnescapeText(EscapeText(S(t))), S(t)) << t;
}

TEST(DataFile, TextFieldsThroughTheReader)
{
    TVetraObject o = Sample();
    o.objectName = S("Say \"hi\" & go");
    o.comment = S("He said \"stop\"\tthen\nleft");
    const QString text = FormatDataFile(o);
    EXPECT_TRUE(text.contains(S(";;;\"Say &quothi&quot &amp go\"\r\n")));
    const TVetraObject back = Parsed(text);
    EXPECT_EQ(back.objectName, S("Say hi & go"));   // quotes do not survive in names
    EXPECT_EQ(back.comment, S("He said \"stop\"\tthen\r\nleft"));

    o.comment.clear();
    o.objectName.clear();
    EXPECT_EQ(Summary(Parsed(FormatDataFile(o))), Summary(o));

    // An empty value lets the next key field be read as the value.
    for (auto field : {&TVetraObject::deviceName, &TVetraObject::serialNumber, &TVetraObject::softwareVersion,
                       &TVetraObject::hardwareIndex}) {
        TVetraObject e = Sample();
        e.*field = QString();
        Parsed(FormatDataFile(e), false);
    }
    o.signature.clear();
    EXPECT_EQ(Parsed(FormatDataFile(o)).signature, S("Settings"));
}

TEST(DataFile, ReaderValueRules)
{
    const QString text = FormatDataFile(Sample());
    const QString version = S(";;;'1.0");
    Parsed(Edited(text, version, S(";;;'2.0")), false);
    Parsed(Edited(text, version, S(";;;'1")), false);
    EXPECT_EQ(Parsed(Edited(text, version, S(";;;'1.5"))).version.value(), (std::uint64_t(1) << 32) | 5);
    EXPECT_EQ(Parsed(Edited(text, version, S(";;;'1,5"))).version.value(), (std::uint64_t(1) << 32) | 5);

    TVetraObject inch = Sample();
    inch.regional = Regional_AstmInch;
    inch.measurements = {{1, 35, 16}};
    const QString inchText = FormatDataFile(inch);
    EXPECT_EQ(Summary(Parsed(Edited(inchText, S(";;;ASTM inch"), S(";;;ASTM in")))), Summary(inch));
    const TVetraObject otherCase = Parsed(Edited(inchText, S(";;;ASTM inch"), S(";;;ASTM Inch")));
    EXPECT_EQ(otherCase.regional, 255);
    EXPECT_EQ(FormatDataFile(otherCase), QString());

    using Case = std::pair<const char *, int>;
    for (const auto &[value, mode] : {Case{"M", 0}, Case{"A", 1}, Case{"Auto", 1}, Case{"auto", 255}, Case{"X", 255}})
        EXPECT_EQ(Parsed(Edited(text, S(";;;Manual"), S(";;;") + S(value))).storageMode, mode) << value;
    // Negative numbers in unsigned fields count as out of range.
    for (const auto &[value, raw] : {Case{"100", 100}, Case{"101", 0}, Case{"-5", 0}, Case{"x", 0}})
        EXPECT_EQ(Parsed(Edited(text, S("[mm]   ;;;'16"), S("[mm]   ;;;'") + S(value))).rawDefaultBarDiameter, raw);
    for (const auto &[value, number] : {Case{"500", 500}, Case{"501", 0xFFFF}, Case{"-1", 0xFFFF}, Case{"0", 0}})
        EXPECT_EQ(Parsed(Edited(text, S(";;;7\r\n"), S(";;;%1\r\n").arg(S(value)))).objectNumber, number) << value;
    Parsed(Edited(text, S(";;;'50"), S(";;;'abc")), false);
    EXPECT_EQ(Parsed(Edited(text, S(";;;'50"), S(";;;'-"))).neighborCorrection, 0);

    for (const char *key : {"    Name ", "Serial Number", "Software Version", "Hardware Index", "Signature", "Regional",
                            "Data Storage Mode", "Raw Default Bar Diameter", "Neighboring Bar Correction",
                            "Object Number", "------------------;"})
        Parsed(WithoutLine(text, key), false);
    Parsed(text.mid(1), false);

    // Optional parts.
    EXPECT_EQ(Parsed(WithoutLine(text, "Date ")).timeStamp, 0);
    EXPECT_EQ(Parsed(Edited(text, S("4.3.2023  5:6:7"), S("4.3.2023"))).timeStamp, 0);
    EXPECT_EQ(Parsed(Edited(text, S("4.3.2023  5:6:7"), S("4.3.2023     5:6:7"))).timeStamp, Sample().timeStamp);
    const TVetraObject unnamed = Parsed(WithoutLine(text, "Object Name"));
    EXPECT_EQ(unnamed.objectName, QString());
    EXPECT_EQ(unnamed.timeStamp, Sample().timeStamp);
}

TEST(DataFile, MeasurementTableRules)
{
    TVetraObject o = Sample();
    for (int i = 0; i < 120; ++i)
        o.measurements.push_back({std::uint8_t(i % 99 + 1), std::uint8_t(i), std::uint8_t(i % 61)});
    const QString full = FormatDataFile(o);
    o.measurements.resize(99);
    EXPECT_EQ(Summary(Parsed(full)), Summary(o));

    o.measurements = {{1, 20, 16}, {2, 21, 16}, {3, 22, 16}};
    const QString text = FormatDataFile(o);
    const std::string all = Summary(Parsed(text));
    const std::string firstRowOnly = all.substr(0, all.find("|2/21/16"));
    for (const char *number : {"100", "-2", "x"})
        EXPECT_EQ(Summary(Parsed(Edited(text, S(" 2") + B(16), S(number)))), firstRowOnly) << number;
    for (const char *raw : {"-3", "61", "abc"})
        EXPECT_EQ(Summary(Parsed(Edited(text, S("16\r\n 3"), S(raw) + S("\r\n 3")))), firstRowOnly) << raw;
    EXPECT_EQ(Parsed(Edited(text, S("16\r\n 3"), S(" n/a \r\n 3"))).measurements.at(1).rawDiameter, 0);
    Parsed(Edited(text, S(" 21"), S("abc")), false);
    Parsed(Edited(text, S(" 21"), S(" -1")), false);

    // A table with nothing after its dashes has no measurements.
    const qsizetype end = text.indexOf(S("------------------;------------------;")) + 75;
    EXPECT_TRUE(Parsed(text.left(end)).measurements.empty());
    EXPECT_TRUE(Parsed(text.left(end + 2)).measurements.empty());

    const QString loose = S("Vetrameter+ Data File Version;1.0\nName;VM\nSerial Number;1\nSoftware Version;2\n"
                            "Hardware Index;A\nSignature;S\nRegional;Japanese\nData Storage Mode;A\n"
                            "Raw Default Bar Diameter;20\nNeighboring Bar Correction;-\nObject Number;3\n"
                            "------------------\n1\t44\tx\t20\n2\tn/a\tx\tn/a");
    EXPECT_EQ(Summary(Parsed(loose)), "1.0|VM|1|2|A|S|3|1|20|0|3|||0|1/44/20|2/255/0");
}

TEST(DataFile, RandomObjectsRoundTrip)
{
    std::mt19937 rng(20240611);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const QStringList pieces = {S("a"),   S("Z"),   S(" "),    S("&"), S("\""),     S("\t"), S("\r\n"),
                                S("#13"), S("amp"), S("quot"), S("9"), S("\u00e9"), S(",")};
    auto text = [&](bool quotes) {
        QString t;
        for (int n = pick(0, 12); n > 0; --n)
            if (const QString &p = pieces[pick(0, int(pieces.size()) - 1)]; quotes || p != u"\"")
                t += p;
        return t;
    };
    auto word = [&] {
        static const QString chars = S("ABCXYZ0123456789 .-+");
        QString t = S("V");
        for (int n = pick(0, 10); n > 0; --n)
            t += chars[pick(0, int(chars.size()) - 1)];
        return t;
    };
    for (int i = 0; i < 300; ++i) {
        TVetraObject o;
        o.version = CVersion((std::uint64_t(1) << 32) | std::uint64_t(pick(0, 1000)));
        o.deviceName = word(), o.serialNumber = word(), o.softwareVersion = word();
        o.hardwareIndex = word(), o.signature = word();
        o.regional = std::uint8_t(pick(0, 3));
        o.storageMode = std::uint8_t(pick(0, 1));
        o.rawDefaultBarDiameter = std::uint8_t(pick(0, 60));
        // In inches only the table's steps survive.
        const int step = pick(4, 13) * 10;
        o.neighborCorrection = std::uint8_t(o.regional == Regional_AstmInch ? (step == 40 ? 0 : step) : pick(0, 150));
        o.comment = text(true);
        o.objectName = text(false);
        o.objectNumber = std::uint16_t(pick(0, 500));
        // A second of 1990 to 2037 between 02:00 and 21:59 UTC, 03:00 or later in
        // Berlin: hours 0 to 2 are left out, a daylight-saving change makes them ambiguous.
        o.timeStamp = 631152000 + std::int64_t(pick(0, 17531)) * 86400 + pick(2 * 3600, 22 * 3600 - 1);
        for (int n = pick(0, 99); n > 0; --n)
            o.measurements.push_back(
                {std::uint8_t(pick(1, 99)), std::uint8_t(pick(0, 255)), std::uint8_t(pick(0, 60))});
        EXPECT_EQ(Summary(Parsed(FormatDataFile(o))), Summary(o)) << i;
    }
}

TEST(DataFile, OutOfRangeDateEndsTheWholeReading)
{
    auto dateError = [](auto read) -> std::optional<DataFileError> {
        try {
            read();
        } catch (const DataFileError &e) {
            return e;
        }
        return std::nullopt;
    };
    const QString good = FormatDataFile(Sample());
    const QString date = S("4.3.2023  5:6:7");
    for (const char *bad : {"32.1.2023  10:0:0", "0.1.2023  10:0:0", "1.13.2023  10:0:0", "1.1.1899  10:0:0",
                            "1.1.2023  24:0:0", "1.1.2023  10:60:0", "1.1.2023  10:0:60"}) {
        const auto e = dateError([&] { Parsed(Edited(good, date, S(bad))); });
        ASSERT_TRUE(e.has_value()) << bad;
        EXPECT_EQ(e->dateText(), S(bad));
    }
    const QString bad = Edited(good, date, S("30.2.1850  1:2:3"));
    const auto inText = dateError([&] { ParseCsvText(good + DataFileSeparator() + bad); });
    ASSERT_TRUE(inText.has_value());
    EXPECT_EQ(inText->objectOrdinal(), 2);
    EXPECT_TRUE(inText->message().contains(S("30.2.1850  1:2:3")));

    QTemporaryDir dir;
    const QString path = dir.filePath(S("bad date.csv"));
    WriteBytes(path, EncodeDataFileText(good + bad));
    QList<TVetraObject> objects;
    const auto inFile = dateError([&] { LoadCsvFile(path, objects); });
    ASSERT_TRUE(inFile.has_value());
    EXPECT_EQ(inFile->fileName(), path);
    EXPECT_TRUE(inFile->message().contains(path));
    EXPECT_TRUE(objects.isEmpty());   // objects read before it are not kept
    EXPECT_THROW(ReadCsvFile(path), DataFileError);
}

TEST(DataFile, FilesAndSplitting)
{
    TVetraObject a = Sample();
    a.objectName = S("\u00d8rsted \u0141");
    const TVetraObject b = MakeObject(8, {30});
    const QString ta = FormatDataFile(a), tb = FormatDataFile(b);
    const QString broken = Edited(tb, S(";;;'1.0"), S(";;;'2.0"));
    const QList<TVetraObject> split = ParseCsvText(S("notes ;;; Vetrameter+\r\n") + ta + tb + broken
                                                   + DataFileSeparator() + ta);
    ASSERT_EQ(split.size(), 3);
    EXPECT_EQ(Summary(split[1]), Summary(b));
    EXPECT_EQ(Summary(split[2]), Summary(a));

    QTemporaryDir dir;
    const QString path = dir.filePath(S("objects.csv"));
    WriteBytes(path, EncodeDataFileText(ta + DataFileSeparator() + tb) + '\0' + EncodeDataFileText(ta));
    const QList<TVetraObject> read = ReadCsvFile(path);
    ASSERT_EQ(read.size(), 2);                           // the zero byte ends the text
    EXPECT_EQ(read[0].objectName, S("\u00d8rsted A"));   // one byte per character on disk
    EXPECT_EQ(Summary(read[1]), Summary(b));

    EXPECT_TRUE(ReadCsvFile(dir.filePath(S("missing.csv"))).isEmpty());
    QList<TVetraObject> none;
    QString error;
    EXPECT_FALSE(LoadCsvFile(dir.filePath(S("missing.csv")), none, &error));
    EXPECT_FALSE(error.isEmpty());
}

// Data files are read by other programs: their words stay English whatever
// language the user interface shows.
TEST(DataFile, LayoutWordsIgnoreTheActiveLanguage)
{
    class German : public Res::IStringSource
    {
    public:
        std::optional<QString> find(int id) const override
        {
            switch (id) {
            case Res::IDS_REGIONAL_METRIC: return S("Metrisch");
            case Res::IDS_REGIONAL_ASTM_INCH: return S("ASTM Zoll");
            case Res::IDS_STORAGE_MANUAL: return S("manuell");
            case Res::IDS_STORAGE_AUTO: return S("automatisch");
            case Res::IDS_NOT_AVAILABLE: return S("k.A.");
            case Res::IDS_UNIT_MM: return S("Millimeter");
            default: return std::nullopt;
            }
        }
    } german;
    SourceGuard guard(&german);
    ASSERT_EQ(GetRegionalText(Regional_Metric), S("Metrisch"));

    TVetraObject o = Sample();
    o.measurements = {{1, 255, 0}};
    for (auto [regional, storage, words] :
         {std::tuple{0, 0, ";;;Metric\r\n|;;;Manual\r\n"}, std::tuple{1, 1, ";;;ASTM inch\r\n|;;;Auto\r\n"}}) {
        o.regional = std::uint8_t(regional), o.storageMode = std::uint8_t(storage);
        const QString text = FormatDataFile(o);
        const QStringList english = S(words).split(u'|') << S(";n/a") << S("Diameter [mm]");
        for (const QString &word : english)
            EXPECT_TRUE(text.contains(word)) << word.toStdString();
        for (const char *word : {"Metrisch", "Zoll", "manuell", "automatisch", "k.A.", "Millimeter"})
            EXPECT_FALSE(text.contains(S(word))) << word;
        EXPECT_EQ(Summary(Parsed(text)), Summary(o));
    }
}
