// The command-line tool on project files: building one from data files,
// showing its lists, sorting it, and turning it back into a data file.
#include "projecttest.h"

#include "data/datafile.h"
#include "support/clirun.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using namespace ProjectTest;
using namespace TestSupport;

namespace {

using Result = TestSupport::CliResult;

class CliProjectTest : public StreamLayerTest
{
protected:
    static Result Invoke(const QStringList &args) { return TestSupport::RunCli(args); }
    static QJsonArray Json(const QStringList &args)
    {
        const Result r = Invoke(args);
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
        return doc.array();
    }
    static QStringList JsonNames(const QJsonArray &entries)
    {
        QStringList names;
        for (const QJsonValue &v : entries)
            names << v.toObject().value(S("objectName")).toString();
        return names;
    }
    QString path(const char *name) const { return dir.filePath(S(name)); }
    // Two objects of our own, written as a data file: 2026-05-04 at 08:00 and 09:00 CEST.
    QString mine()
    {
        const QString p = path("mine.csv");
        WriteBytes(p, EncodeDataFileText(FormatDataFile(Obj(1, {20, 21}, 1777874400)) + DataFileSeparator()
                                         + FormatDataFile(Obj(2, {255, 33}, 1777878000))));
        return p;
    }
    // demo.csv and mine.csv as a new project.
    QString project()
    {
        const QString out = path("out.qxs");
        const Result r = Invoke({S("convert"), demo, mine(), S("-o"), out});
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        return out;
    }

    const QString demo = SourcePath(S("samples/demo.csv"));
    const QStringList allNames = {S("Wall A, north face"), S("Slab S2"), S("Beam B-12"), S("Object 1"), S("Object 2")};
    QTemporaryDir dir;
};

}   // namespace

TEST_F(CliProjectTest, ConvertBuildsAProjectThatInfoReads)
{
    const QString out = project();
    const QByteArray bytes = ReadBytes(out);
    ASSERT_GT(bytes.size(), 71);
    EXPECT_EQ(bytes.mid(61, 8).toHex(), QByteArray("0100000001000000")) << "written as version 1.0.1.0";

    const QJsonArray entries = Json({S("info"), S("--json"), out});
    ASSERT_EQ(entries.size(), 5);
    EXPECT_EQ(JsonNames(entries), allNames);
    for (const QJsonValue &v : entries) {
        const QJsonObject o = v.toObject();
        EXPECT_EQ(o.value(S("file")).toString(), out);
        EXPECT_EQ(o.value(S("diagramOrder")).toInt(99), -1);
        EXPECT_TRUE(o.value(S("expanded")).isBool());
        EXPECT_FALSE(o.value(S("expanded")).toBool());
        EXPECT_EQ(o.value(S("sortMode")).toInt(99), 0);
    }
    // The measurements came through unchanged.
    const QJsonArray meas = entries[4].toObject().value(S("measurements")).toArray();
    ASSERT_EQ(meas.size(), 2);
    EXPECT_EQ(meas[0].toArray(), QJsonArray({1, 255, 16}));
    EXPECT_EQ(meas[1].toArray(), QJsonArray({2, 33, 16}));

    // Data files have no view state to show.
    const QJsonArray plain = Json({S("info"), S("--json"), demo});
    ASSERT_EQ(plain.size(), 3);
    EXPECT_FALSE(plain[0].toObject().contains(S("diagramOrder")));
    EXPECT_FALSE(plain[0].toObject().contains(S("sortMode")));
}

TEST_F(CliProjectTest, SortReordersAndSaves)
{
    const QString out = project();
    const Result sorted = Invoke({S("sort"), S("--mode"), S("6"), out});
    ASSERT_EQ(sorted.code, 0) << sorted.err.toStdString();

    const QJsonArray entries = Json({S("info"), S("--json"), out});
    EXPECT_EQ(JsonNames(entries),
              QStringList({S("Wall A, north face"), S("Slab S2"), S("Object 2"), S("Object 1"), S("Beam B-12")}));
    for (const QJsonValue &v : entries)
        EXPECT_EQ(v.toObject().value(S("sortMode")).toInt(), 6);
    EXPECT_EQ(JsonNames(Json({S("info"), S("--json"), S("--originals"), out})), allNames);

    const QByteArray before = ReadBytes(out);
    for (const char *mode : {"0", "17", "x"}) {
        const Result bad = Invoke({S("sort"), S("--mode"), S(mode), out});
        EXPECT_EQ(bad.code, Cli::Exit_Usage) << mode;
    }
    EXPECT_EQ(Invoke({S("sort"), S("--mode"), S("3"), demo}).code, Cli::Exit_File);
    EXPECT_EQ(ReadBytes(out), before);
}

TEST_F(CliProjectTest, OriginalsShowTheDataAsDownloaded)
{
    ScriptedUi ui;
    CVetraDoc doc(ui);
    ASSERT_TRUE(doc.AddObjects({Obj(5, {40}, 5000), Obj(6, {41}, 6000)}, false, false));
    doc.Current().SetObjectName(1, S("renamed"));
    doc.Current().SetExpanded(1, true);
    doc.Current().SetDiagramOrder(1, 1);
    const QString p = path("edited.qxs");
    ASSERT_TRUE(doc.SaveToPath(p));

    const QJsonArray current = Json({S("info"), S("--json"), p});
    EXPECT_EQ(JsonNames(current), QStringList({S("Object 5"), S("renamed")}));
    EXPECT_TRUE(current[1].toObject().value(S("expanded")).toBool());
    EXPECT_EQ(current[1].toObject().value(S("diagramOrder")).toInt(), 1);
    const QJsonArray originals = Json({S("info"), S("--json"), S("--originals"), p});
    EXPECT_EQ(JsonNames(originals), QStringList({S("Object 5"), S("Object 6")}));
    EXPECT_FALSE(originals[1].toObject().value(S("expanded")).toBool());
}

TEST_F(CliProjectTest, ProjectConvertsBackToADataFile)
{
    const QString out = project();
    ASSERT_EQ(Invoke({S("sort"), S("--mode"), S("5"), out}).code, 0);
    const QString csv = path("back.csv");
    const Result r = Invoke({S("convert"), out, S("-o"), csv});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();

    QList<TVetraObject> read;
    ASSERT_TRUE(LoadCsvFile(csv, read));
    ScriptedUi ui;
    CVetraDoc doc(ui);
    ASSERT_TRUE(doc.OpenProject(out, false));
    ASSERT_EQ(read.size(), doc.Current().GetCount());
    for (int i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(i);
        const object_t &o = doc.Current().GetObject(i);
        EXPECT_EQ(read[i].objectName, o.objectName);
        EXPECT_EQ(read[i].timeStamp, o.timeStamp);
        EXPECT_EQ(read[i].serialNumber, o.serialNumber);
        EXPECT_EQ(MeasText(read[i].measurements), MeasText(o.measurements));
    }
    EXPECT_EQ(read[0].objectName, S("Beam B-12"));
}

TEST_F(CliProjectTest, DamagedProjectIsReportedAndNothingIsWritten)
{
    const QString out = project();
    const QString bad = path("bad.qxs");
    WriteBytes(bad, ReadBytes(out).left(300));

    const Result info = Invoke({S("info"), bad});
    EXPECT_EQ(info.code, Cli::Exit_File);
    EXPECT_TRUE(info.err.contains(kReadError)) << info.err.toStdString();
    EXPECT_TRUE(info.err.contains(bad));

    EXPECT_EQ(Invoke({S("convert"), out, bad, S("-o"), path("never.qxs")}).code, Cli::Exit_File);
    EXPECT_FALSE(QFile::exists(path("never.qxs")));
    const QByteArray damaged = ReadBytes(bad);
    EXPECT_EQ(Invoke({S("sort"), S("--mode"), S("2"), bad}).code, Cli::Exit_File);
    EXPECT_EQ(ReadBytes(bad), damaged) << "a damaged project is never overwritten";
}
