// The project file: exact bytes, round trips, and what reading does with
// damaged, foreign and partial files.
#include "projecttest.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <unistd.h>

using namespace ProjectTest;
using namespace TestSupport;

namespace {

QByteArray Utf16Le(const char *text)
{
    QByteArray out;
    for (const char *p = text; *p; ++p)
        out.append(*p).append('\0');
    return out;
}

class ProjectFileTest : public StreamLayerTest
{
protected:
    QString path(const char *name) const { return dir.filePath(S(name)); }
    // A whole project: two downloaded objects, then one added and renamed,
    // the list sorted by name descending.
    void fill(CVetraDoc &doc)
    {
        TVetraObject a = Obj(4, {20, 21, 255, 23}, 1773477667);   // 2026-03-14 09:41:07 CET
        a.comment = S("Column C3\r\nBelow window\t\"Ü€\"");
        TVetraObject b = Obj(7, {}, -86400);   // before 1970: the sign must survive
        b.objectName.clear();
        b.version = CVersion(0x0001000200030004ull);
        ASSERT_TRUE(doc.AddObjects({a, b}, false, false));
        ASSERT_TRUE(doc.AddObjects({Obj(9, {40, 41}, 1782993933)}, true, false));   // 2026-07-02 14:05:33 CEST
        doc.Current().SetObjectName(0, S("Renamed-Unique"));
        doc.Current().SetExpanded(0, true);
        doc.Current().SetDiagramOrder(1, 1);
        doc.Current().Sort(6);
    }
    ScriptedUi ui;
    QTemporaryDir dir;
};

}   // namespace

TEST_F(ProjectFileTest, EmptyProjectIsTheExact167Bytes)
{
    QByteArray expected = QByteArray::fromHex("FE1D00") + Utf16Le("QueliX Vetradesk project file")
                          + QByteArray::fromHex("0100020003000400"
                                                "0100"
                                                "01000000"
                                                "00000000"
                                                "01000000"
                                                "00000000")
                          + QByteArray(80, '\0');
    ASSERT_EQ(expected.size(), 167);

    CVetraData originals, current;
    EXPECT_EQ(WrittenBytes(originals, current, nullptr, {1, 2, 3, 4}).toHex(), expected.toHex());

    CVetraDoc doc(ui);
    doc.SetProgramVersion({1, 2, 3, 4});
    ASSERT_TRUE(doc.SaveToPath(path("empty.qxs")));
    EXPECT_EQ(ReadBytes(path("empty.qxs")).toHex(), expected.toHex());
    EXPECT_TRUE(ui.errors.isEmpty());
}

TEST_F(ProjectFileTest, EmptyObjectRecordIs63Bytes)
{
    CVetraData list;
    list.AddTransferObjects({TVetraObject{}}, false);
    list.SetTimeStamp(0, 0);   // entering the list gave it the current time
    const QByteArray record = QByteArray::fromHex("FE0700") + Utf16Le("0.0.0.0")
                              + QByteArray::fromHex("00"
                                                    "FE0000FE0000FE0000FE0000FE0000"
                                                    "00"
                                                    "FFFF"
                                                    "FE0000FE0000"
                                                    "FF"
                                                    "FF"
                                                    "0000000000000000"
                                                    "00000000"
                                                    "FFFF"
                                                    "00000000"
                                                    "00");
    ASSERT_EQ(record.size(), 63);
    EXPECT_EQ(StoredList(list).toHex(), (QByteArray::fromHex("01000000") + record).toHex());
}

TEST_F(ProjectFileTest, RecordFieldsAreInFileOrder)
{
    // Every field distinct, so that a swapped pair shows.
    TVetraObject o;
    o.version = CVersion(0x0001000200030004ull);
    o.deviceName = S("D");
    o.serialNumber = S("S");
    o.softwareVersion = S("W");
    o.hardwareIndex = S("H");
    o.signature = S("G");
    o.rawDefaultBarDiameter = 0x10;
    o.neighborCorrection = 0x32;
    o.objectNumber = 0x1234;
    o.comment = S("C");
    o.objectName = S("N");
    o.regional = 2;
    o.storageMode = 1;
    o.timeStamp = 0x0102030405060708;
    o.measurements = {{1, 20, 16}, {2, 255, 0}};
    TVetraObject second = MakeObject(5, {});
    second.timeStamp = 1;

    CVetraData list;
    list.AddTransferObjects({o, second}, false);
    list.Sort(5);   // "N" before "Object 5"
    list.SetDiagramOrder(0, 1);
    list.SetExpanded(0, true);

    ByteWriter expected;
    expected.u32(2).record(S("1.2.3.4"), o, 1, 1, 5).record(S("0.1.0.0"), second, 0xFFFF, 0, 5);
    EXPECT_EQ(StoredList(list).toHex(), expected.bytes.toHex());
}

TEST_F(ProjectFileTest, WriteReadWriteGivesIdenticalBytes)
{
    CVetraDoc first(ui);
    fill(first);
    ASSERT_TRUE(first.SaveToPath(path("a.qxs")));
    EXPECT_FALSE(first.IsModified());

    CVetraDoc second(ui);
    ASSERT_TRUE(second.OpenProject(path("a.qxs"), false));
    EXPECT_EQ(second.GetPath(), path("a.qxs"));
    EXPECT_FALSE(second.IsModified());
    ASSERT_TRUE(second.SaveToPath(path("b.qxs")));
    EXPECT_EQ(ReadBytes(path("b.qxs")).toHex(), ReadBytes(path("a.qxs")).toHex());

    EXPECT_EQ(second.Current().GetSortMode(), 6);
    ASSERT_EQ(second.Current().GetCount(), 3);
    ASSERT_EQ(second.Originals().GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ExpectSameObject(second.Current().GetObject(i), first.Current().GetObject(i));
        ExpectSameObject(second.Originals().GetObject(i), first.Originals().GetObject(i));
        EXPECT_FALSE(second.Current().GetObject(i).selected);
    }
    EXPECT_EQ(Names(second.Originals()), QStringList({S("Object 4"), QString(), S("Object 9")}));
    EXPECT_TRUE(ui.errors.isEmpty());
}

TEST_F(ProjectFileTest, ClipboardPayloadReadAsProjectLeavesOriginals)
{
    CVetraDoc source(ui);
    fill(source);
    const QByteArray block = source.BuildClipboardPayload({true, false, true});
    ASSERT_GE(block.size(), 4);
    ASSERT_EQ(qFromLittleEndian<std::uint32_t>(block.constData()), std::uint32_t(block.size() - 4));
    const QByteArray payload = block.mid(4);
    EXPECT_EQ(qFromLittleEndian<std::uint32_t>(payload.constData() + 61 + 8 + 2), 0u) << "no original list";
    WriteBytes(path("clip.qxs"), payload);

    CVetraDoc target(ui);
    ASSERT_TRUE(target.AddObjects({Obj(1, {30}, 100), Obj(2, {31}, 200)}, false, false));
    ASSERT_TRUE(target.OpenProject(path("clip.qxs"), true));
    EXPECT_EQ(Names(target.Originals()), QStringList({S("Object 1"), S("Object 2")}));
    EXPECT_EQ(Names(target.Current()),
              QStringList({S("Object 1"), S("Object 2"), source.Current().GetObject(0).objectName,
                           source.Current().GetObject(2).objectName}));
    EXPECT_TRUE(ui.errors.isEmpty());
}

TEST_F(ProjectFileTest, WrongTitlesAreRefusedWithTheReadMessage)
{
    auto fileWithTitle = [](QStringView title) {
        ByteWriter w;
        w.header(title).u32(0).u32(1).u32(1).record(S("0.1.0.0"), Obj(3, {25}, 1000), 0xFFFF, 0, 0).reserved();
        return w.bytes;
    };
    for (const char *title : {"QueliX Vetradesk project file ", "quelix vetradesk project file",
                              "QUELIX VETRADESK PROJECT FILE", "QueliX Vetradesk project fil", ""}) {
        SCOPED_TRACE(title);
        WriteBytes(path("t.qxs"), fileWithTitle(QString::fromUtf8(title)));
        ScriptedUi local;
        CVetraDoc doc(local);
        EXPECT_FALSE(doc.OpenProject(path("t.qxs"), false));
        EXPECT_EQ(local.errors, QStringList{ReadErrorFor(path("t.qxs"), kNotReadable)});
        EXPECT_FALSE(doc.HasObjects());
        EXPECT_TRUE(doc.GetPath().isEmpty());
    }

    // The right title opens, also as 8-bit text.
    QByteArray good = fileWithTitle(kProjectFileTitle);
    ScriptedUi local;
    CVetraDoc doc(local);
    WriteBytes(path("t.qxs"), good);
    EXPECT_TRUE(doc.OpenProject(path("t.qxs"), false));
    EXPECT_EQ(doc.Current().GetCount(), 1);
    QByteArray eightBit = QByteArray::fromHex("FF1D00") + QByteArray("QueliX Vetradesk project file")
                          + good.mid(3 + 58);
    CVetraData originals, current;
    EXPECT_EQ(ReadFromBytes(originals, current, eightBit), 0u);
    EXPECT_EQ(current.GetCount(), 1);
    EXPECT_TRUE(local.errors.isEmpty());
}

TEST_F(ProjectFileTest, EveryTruncationFailsAndKeepsWhatWasRead)
{
    CVetraDoc doc(ui);
    fill(doc);
    ASSERT_TRUE(doc.SaveToPath(path("full.qxs")));
    const QByteArray full = ReadBytes(path("full.qxs"));
    const qsizetype body = full.size() - 80;   // the reserved words are never read

    int lastCount = 0;
    for (qsizetype cut = 0; cut <= full.size(); ++cut) {
        CVetraData originals, current;
        const std::uint32_t code = ReadFromBytes(originals, current, full.left(cut));
        if (cut < body)
            EXPECT_EQ(code, StreamIO::ERR_HANDLE_EOF) << "cut at " << cut;
        else
            EXPECT_EQ(code, 0u) << "cut at " << cut;
        const int count = originals.GetCount() + current.GetCount();
        EXPECT_GE(count, lastCount) << "cut at " << cut;
        lastCount = count;
    }
    EXPECT_EQ(lastCount, 6);

    // Cut just after the first current object's name: the objects read whole
    // stay, the half-read one is not made up from what came of it, and the
    // path is not taken over.
    const QByteArray name = Utf16Le("Renamed-Unique");
    ASSERT_EQ(full.count(name), 1);
    WriteBytes(path("cut.qxs"), full.left(full.indexOf(name) + name.size() + 3));
    ScriptedUi local;
    CVetraDoc damaged(local);
    EXPECT_FALSE(damaged.OpenProject(path("cut.qxs"), false));
    EXPECT_EQ(local.errors, QStringList{ReadErrorFor(path("cut.qxs"), kEndedEarly)});
    EXPECT_EQ(damaged.Originals().GetCount(), 3);
    EXPECT_EQ(damaged.Current().GetCount(), 0);
    EXPECT_TRUE(damaged.GetPath().isEmpty());

    // Saving now must ask for a new place, not overwrite the damaged file.
    const QByteArray damagedBytes = ReadBytes(path("cut.qxs"));
    local.savePath = std::nullopt;
    EXPECT_FALSE(damaged.Save());
    EXPECT_EQ(local.savePathNames.size(), 1);
    EXPECT_EQ(ReadBytes(path("cut.qxs")), damagedBytes);
}

TEST_F(ProjectFileTest, MoreThan99MeasurementsAreAFormatError)
{
    auto fileWith = [](int count) {
        TVetraObject o = Obj(1, {}, 5000);
        for (int i = 0; i < count; ++i)
            o.measurements.push_back({std::uint8_t(i + 1), std::uint8_t(i % 200), 12});
        ByteWriter w;
        w.header().u32(0).u32(1).u32(1).record(S("0.1.0.0"), o, 0xFFFF, 0, 0).reserved();
        return w.bytes;
    };
    WriteBytes(path("m99.qxs"), fileWith(99));
    CVetraDoc doc(ui);
    ASSERT_TRUE(doc.OpenProject(path("m99.qxs"), false));
    ASSERT_EQ(doc.Current().GetCount(), 1);
    EXPECT_EQ(doc.Current().GetObject(0).measurements.size(), 99u);
    EXPECT_EQ(doc.Current().GetObject(0).measurements[98].number, 99);

    WriteBytes(path("m100.qxs"), fileWith(100));
    EXPECT_FALSE(doc.OpenProject(path("m100.qxs"), false));
    EXPECT_EQ(ui.errors, QStringList{ReadErrorFor(path("m100.qxs"), kNotReadable)});

    // A huge count with no data behind it fails on the count, not on memory.
    ByteWriter huge;
    huge.header().u32(0).u32(1).u32(1).str(S("1.0")).u8(0).str({}).str({}).str({}).str({}).str({});
    huge.u8(0).u16(1).str({}).str({}).u8(0).u8(0).u64(1).u32(0xFFFFFFFFu);
    CVetraData originals, current;
    EXPECT_EQ(ReadFromBytes(originals, current, huge.bytes), StreamIO::ERR_INVALID_DATA);
}

TEST_F(ProjectFileTest, FilesThatCannotBeReadSayWhyOnASecondLine)
{
    // The reasons in the system's words, as the stream layer keeps them.
    const QString noSuchFile = QString::fromLocal8Bit(std::strerror(ENOENT));
    const QString isAFolder = QString::fromLocal8Bit(std::strerror(EISDIR));
    ASSERT_TRUE(QDir(dir.path()).mkdir(S("folder.qxs")));
    WriteBytes(path("text.qxs"), "just some text\r\n");
    ByteWriter header;
    header.header().u32(1).u32(5);
    WriteBytes(path("short.qxs"), header.bytes);

    const struct
    {
        const char *name;
        QString reason;
    } cases[] = {
        {"missing.qxs", noSuchFile}, {"no/such/folder/p.qxs", noSuchFile},
        {"folder.qxs", isAFolder},   // opens, but reading fails
        {"text.qxs", kEndedEarly},   // "us" reads as a title of 0x7375 characters
        {"short.qxs", kEndedEarly},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedUi local;
        CVetraDoc doc(local);
        EXPECT_FALSE(doc.OpenProject(path(c.name), false));
        EXPECT_EQ(local.errors, QStringList{ReadErrorFor(path(c.name), c.reason)});
        EXPECT_EQ(local.errors.value(0).count(u'\n'), 1);
    }
}

TEST_F(ProjectFileTest, UnreadableFileSaysAccessIsDenied)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads files regardless of their permissions";
    CVetraDoc source(ui);
    ASSERT_TRUE(source.SaveToPath(path("locked.qxs")));
    ASSERT_TRUE(QFile::setPermissions(path("locked.qxs"), QFileDevice::WriteOwner));
    CVetraDoc doc(ui);
    EXPECT_FALSE(doc.OpenProject(path("locked.qxs"), false));
    EXPECT_EQ(ui.errors, QStringList{ReadErrorFor(path("locked.qxs"), QString::fromLocal8Bit(std::strerror(EACCES)))});
}

TEST_F(ProjectFileTest, AddedObjectsAreSelectedAndKeepTheProjectModified)
{
    CVetraDoc source(ui);
    ASSERT_TRUE(source.SaveToPath(path("none.qxs")));
    ASSERT_TRUE(source.AddObjects({Obj(5, {30}, 300), Obj(6, {31}, 400)}, false, false));
    ASSERT_TRUE(source.SaveToPath(path("two.qxs")));

    // Into an empty project, opened or added: nothing selected, nothing changed.
    for (bool add : {false, true}) {
        CVetraDoc doc(ui);
        ASSERT_TRUE(doc.OpenProject(path("two.qxs"), add));
        EXPECT_FALSE(doc.Current().GetObject(0).selected || doc.Current().GetObject(1).selected) << add;
        EXPECT_FALSE(doc.IsModified()) << add;
        EXPECT_EQ(doc.GetPath(), add ? QString() : path("two.qxs"));
    }

    // Into a saved project with objects: the read ones are selected, the path
    // stays, and the project is changed.
    CVetraDoc doc(ui);
    ASSERT_TRUE(doc.OpenProject(path("two.qxs"), false));
    ASSERT_TRUE(doc.OpenProject(path("none.qxs"), true));
    EXPECT_FALSE(doc.IsModified()) << "adding no objects changes nothing";
    ASSERT_TRUE(doc.OpenProject(path("two.qxs"), true));
    ASSERT_EQ(doc.Current().GetCount(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(doc.Current().GetObject(i).selected, i >= 2) << i;
    EXPECT_EQ(doc.Originals().GetCount(), 4);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.GetPath(), path("two.qxs"));

    ASSERT_TRUE(doc.SaveToPath(doc.GetPath()));
    doc.Current().SetComment(0, S("edited"));
    ASSERT_TRUE(doc.OpenProject(path("none.qxs"), true));
    EXPECT_TRUE(doc.IsModified()) << "an edit made before adding must not be dropped";
    EXPECT_TRUE(ui.errors.isEmpty());
}

TEST_F(ProjectFileTest, SortModeIsTheValueAfterTheLastObject)
{
    ByteWriter w;
    w.header().u32(0).u32(1).u32(2);
    w.record(S("0.1.0.0"), Obj(1, {20}, 10), 0xFFFF, 0, 3).record(S("0.1.0.0"), Obj(2, {21}, 20), 0xFFFF, 0, 7);
    w.reserved();
    CVetraData originals, current;
    ASSERT_EQ(ReadFromBytes(originals, current, w.bytes), 0u);
    EXPECT_EQ(current.GetSortMode(), 7);
    EXPECT_EQ(originals.GetCount(), 0);

    // A list stored without objects leaves the mode alone.
    CVetraData sorted;
    sorted.AddTransferObjects({Obj(1, {20}, 10)}, false);
    sorted.Sort(5);
    ByteWriter empty;
    empty.header().u32(1).u32(0).u32(1).u32(0).reserved();
    ASSERT_EQ(ReadFromBytes(originals, sorted, empty.bytes), 0u);
    EXPECT_EQ(sorted.GetSortMode(), 5);
    EXPECT_EQ(sorted.GetCount(), 1);
}
