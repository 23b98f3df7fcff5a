#pragma once
// Shared pieces of the project suites: a scripted user interface, a fake
// clipboard, a recording view, an independent writer of the file layout and
// helpers that move bytes through the stream layer.

#include "project/documentui.h"
#include "project/projectfile.h"
#include "project/vetradata.h"
#include "project/vetradoc.h"
#include "streamio/archive.h"
#include "streamio/ramstream.h"
#include "streamio/streamerror.h"
#include "streamio/streamtable.h"

#include "support/testsupport.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QtEndian>

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

namespace ProjectTest {

inline QString S(const char *text)
{
    return QString::fromUtf8(text);
}

// Answers preset, questions and messages recorded.
class ScriptedUi : public IDocumentUi
{
public:
    SaveAnswer saveAnswer = SaveAnswer::Cancel;
    std::optional<QString> savePath;
    SyncAnswer syncAnswer = SyncAnswer::Cancel;

    int saveQuestions = 0;
    QStringList savePathNames;   // initial names offered by the save dialog
    std::vector<std::pair<int, int>> syncQuestions;
    QStringList errors;

    SaveAnswer AskSaveChanges() override
    {
        ++saveQuestions;
        return saveAnswer;
    }
    std::optional<QString> AskSavePath(const QString &initialName) override
    {
        savePathNames << initialName;
        return savePath;
    }
    std::optional<QString> AskOpenPath() override { return std::nullopt; }
    SyncAnswer AskSynchronize(int incoming, int newOnes) override
    {
        syncQuestions.emplace_back(incoming, newOnes);
        return syncAnswer;
    }
    void ShowError(const QString &message) override { errors << message; }
};

class FakeClipboard : public IProjectClipboard
{
public:
    std::optional<QByteArray> data;
    bool accept = true;

    bool SetProjectData(const QByteArray &block) override
    {
        if (accept)
            data = block;
        return accept;
    }
    std::optional<QByteArray> ProjectData() const override { return data; }
};

class RecordingView : public IDocumentView
{
public:
    std::vector<int> updates;
    void OnDocumentUpdate(int index) override { updates.push_back(index); }
};

inline const QString kReadError = S("This is not a Vetradesk project file or there was an error while reading.");

// The message for a project file that could not be read: the read message,
// then the stream error's text for the file.
inline QString ReadErrorFor(const QString &path, const QString &reason)
{
    return kReadError + u'\n' + path + S(": ") + reason;
}
inline const QString kEndedEarly = S("The data ended unexpectedly.");
inline const QString kNotReadable = S("The data could not be read.");

// An object of the test instrument with a fixed time stamp (0 would become
// the current time when it enters a project).
inline TVetraObject Obj(std::uint16_t number, std::initializer_list<int> covers, std::int64_t stamp)
{
    TVetraObject o = TestSupport::MakeObject(number, covers);
    o.timeStamp = stamp;
    return o;
}

template <class Meas>
QString MeasText(const std::vector<Meas> &measurements)
{
    QStringList parts;
    for (const Meas &m : measurements)
        parts << QStringLiteral("%1/%2/%3").arg(m.number).arg(m.cover).arg(m.rawDiameter);
    return parts.join(u' ');
}

// Every stored field of two objects, view state included.
inline void ExpectSameObject(const object_t &a, const object_t &b)
{
    EXPECT_EQ(a.version.value(), b.version.value());
    EXPECT_EQ(QStringList({a.deviceName, a.softwareVersion, a.serialNumber, a.hardwareIndex, a.signature}),
              QStringList({b.deviceName, b.softwareVersion, b.serialNumber, b.hardwareIndex, b.signature}));
    EXPECT_EQ(a.regional, b.regional);
    EXPECT_EQ(a.storageMode, b.storageMode);
    EXPECT_EQ(a.rawDefaultBarDiameter, b.rawDefaultBarDiameter);
    EXPECT_EQ(a.neighborCorrection, b.neighborCorrection);
    EXPECT_EQ(a.comment, b.comment);
    EXPECT_EQ(a.objectName, b.objectName);
    EXPECT_EQ(a.timeStamp, b.timeStamp);
    EXPECT_EQ(a.objectNumber, b.objectNumber);
    EXPECT_EQ(MeasText(a.measurements), MeasText(b.measurements));
    EXPECT_EQ(a.diagramOrder, b.diagramOrder);
    EXPECT_EQ(a.expanded, b.expanded);
}

inline QStringList Names(const CVetraData &list)
{
    QStringList names;
    for (int i = 0; i < list.GetCount(); ++i)
        names << list.GetObject(i).objectName;
    return names;
}

// The layout written by hand, little-endian, independent of the archive.
struct ByteWriter
{
    QByteArray bytes;

    ByteWriter &u8(std::uint8_t v)
    {
        bytes.append(char(v));
        return *this;
    }
    ByteWriter &u16(std::uint16_t v) { return u8(std::uint8_t(v)).u8(std::uint8_t(v >> 8)); }
    ByteWriter &u32(std::uint32_t v) { return u16(std::uint16_t(v)).u16(std::uint16_t(v >> 16)); }
    ByteWriter &u64(std::uint64_t v) { return u32(std::uint32_t(v)).u32(std::uint32_t(v >> 32)); }
    ByteWriter &str(QStringView text)
    {
        u8(0xFE).u16(std::uint16_t(text.size()));
        for (QChar c : text)
            u16(c.unicode());
        return *this;
    }
    ByteWriter &header(QStringView title = kProjectFileTitle, ProgramVersion v = {1, 0, 1, 0})
    {
        str(title);
        for (std::uint16_t part : v)
            u16(part);
        return u16(1);
    }
    ByteWriter &record(QStringView versionText, const TVetraObject &o, std::uint16_t diagramOrder,
                       std::uint32_t expanded, std::uint8_t sortMode)
    {
        str(versionText).u8(o.rawDefaultBarDiameter);
        str(o.deviceName).str(o.serialNumber).str(o.softwareVersion).str(o.hardwareIndex).str(o.signature);
        u8(o.neighborCorrection).u16(o.objectNumber).str(o.comment).str(o.objectName);
        u8(o.regional).u8(o.storageMode).u64(std::uint64_t(o.timeStamp)).u32(std::uint32_t(o.measurements.size()));
        for (const TMeas &m : o.measurements)
            u8(m.number).u8(m.cover).u8(m.rawDiameter);
        return u16(diagramOrder).u32(expanded).u8(sortMode);
    }
    ByteWriter &reserved()
    {
        bytes.append(QByteArray(80, '\0'));
        return *this;
    }
};

// What `write` puts into a storing archive on a RAM file.
template <class Write>
QByteArray StoredBytes(Write write)
{
    using namespace StreamIO;
    CRamStream stream;
    stream.Open(S("RAM:ProjectTestStore"), SO_READ | SO_WRITE | SO_CREATE_ALWAYS);
    CQXArchive archive(stream.GetHandle(), CQXArchive::MODE_STORE);
    write(archive);
    archive.Flush();
    QByteArray bytes(qsizetype(stream.GetLength()), '\0');
    stream.SetPosition(0);
    stream.Read(bytes.data(), int(bytes.size()));
    return bytes;
}

inline QByteArray WrittenBytes(const CVetraData &originals, const CVetraData &current, const Selection *selection,
                               const ProgramVersion &version)
{
    return StoredBytes([&](StreamIO::CQXArchive &ar) { WriteProjectFile(originals, current, ar, selection, version); });
}

inline QByteArray StoredList(const CVetraData &list)
{
    return StoredBytes([&](StreamIO::CQXArchive &ar) { list.Store(ar, nullptr); });
}

// Reads a project file from bytes; 0 when it read, else the error's code.
inline std::uint32_t ReadFromBytes(CVetraData &originals, CVetraData &current, const QByteArray &bytes)
{
    using namespace StreamIO;
    try {
        CRamStream stream;
        stream.Open(S("RAM:ProjectTestLoad"), SO_READ | SO_WRITE | SO_CREATE_ALWAYS);
        stream.Write(bytes.constData(), int(bytes.size()));
        CQXArchive archive(stream.GetHandle(), CQXArchive::MODE_LOAD);
        ReadProjectFile(originals, current, archive);
    } catch (const StreamError &e) {
        return e.code();
    }
    return 0;
}

// A clipboard block: n, then the bytes.
inline QByteArray Block(const QByteArray &data, std::uint32_t n)
{
    QByteArray block(4, '\0');
    qToLittleEndian(n, block.data());
    return block + data;
}

class StreamLayerTest : public ::testing::Test
{
protected:
    void SetUp() override { StreamIO::InitStreamLayer(); }
};

}   // namespace ProjectTest
