#include "export/csvexport.h"

#include "data/datafile.h"

#include "support/testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

QString S(const char *text)
{
    return QString::fromUtf8(text);
}

class Recorder : public IExportProgress
{
public:
    void setProgress(int permille) override { steps.push_back(permille); }
    void setStatusText(const QString &text) override { texts.append(text); }
    std::vector<int> steps;
    QStringList texts;
};

QList<TVetraObject> ThreeObjects()
{
    QList<TVetraObject> objects = {MakeObject(1, {20, 30}), MakeObject(2, {255}, 1), MakeObject(3, {}, 3)};
    objects[1].objectName = S("Wall; north \u0141");
    objects[2].storageMode = 1;
    return objects;
}

QByteArray Joined(const QList<TVetraObject> &objects)
{
    QStringList texts;
    for (const TVetraObject &o : objects)
        texts << FormatDataFile(o);
    return EncodeDataFileText(texts.join(DataFileSeparator()));
}

}   // namespace

TEST(CsvExport, PathRules)
{
    EXPECT_EQ(EachFileName(S("C:\\x\\Data.csv"), 1), S("C:\\x\\Data1.csv"));
    EXPECT_EQ(EachFileName(S("/tmp/out.CSV"), 12), S("/tmp/out12.CSV"));
    for (const char *refused : {"a.txt", "/tmp/a.txt", ".csv", "/tmp/data.csv.bak"})
        EXPECT_FALSE(IsCsvPath(S(refused))) << refused;
    EXPECT_TRUE(IsCsvPath(S("/tmp/x.CSV")));
    EXPECT_TRUE(IsCsvPath(S("ab.Csv")));
}

TEST(CsvExport, OneFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(S("out.csv"));
    const QList<TVetraObject> objects = ThreeObjects();
    Recorder progress;
    QString error;
    ASSERT_TRUE(WriteCsvOneFile(path, objects, &progress, &error)) << error.toStdString();
    ASSERT_EQ(DataFileSeparator().size(), 445);
    EXPECT_EQ(ReadBytes(path), Joined(objects));
    EXPECT_TRUE(ReadBytes(path).contains("Wall; north A\""));   // the low byte of each character
    EXPECT_EQ(progress.steps, (std::vector<int>{0, 0, 316, 633, 1000}));
    EXPECT_EQ(progress.texts.first(), S("Please wait while preparing for export..."));
    EXPECT_EQ(progress.texts.last(), S("Creating ") + path + S(" ..."));
    const QList<TVetraObject> read = ReadCsvFile(path);
    ASSERT_EQ(read.size(), 3);
    EXPECT_EQ(read[1].objectName, S("Wall"));   // semicolons in names are not escaped

    // An object that cannot be written leaves its separator behind.
    QList<TVetraObject> withUnknown = objects;
    withUnknown[1].regional = 255;
    ASSERT_TRUE(WriteCsvOneFile(path, withUnknown));
    EXPECT_EQ(ReadBytes(path), Joined(withUnknown));
    EXPECT_TRUE(ReadBytes(path).contains(EncodeDataFileText(DataFileSeparator() + DataFileSeparator())));
    EXPECT_EQ(ReadCsvFile(path).size(), 2);

    // No objects: the file is still replaced, and empty.
    Recorder none;
    ASSERT_TRUE(WriteCsvOneFile(path, {}, &none));
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(ReadBytes(path), QByteArray());
    EXPECT_EQ(none.steps, (std::vector<int>{0, 1000}));

    const QString missing = dir.filePath(S("no/such/dir/out.csv"));
    EXPECT_FALSE(WriteCsvOneFile(missing, objects, nullptr, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST(CsvExport, EachObjectToItsOwnFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(S("Data.csv"));
    const QList<TVetraObject> objects = ThreeObjects();
    Recorder progress;
    QStringList written;
    ASSERT_TRUE(WriteCsvEachFile(path, objects, &progress, &written));
    ASSERT_EQ(written,
              (QStringList{dir.filePath(S("Data1.csv")), dir.filePath(S("Data2.csv")), dir.filePath(S("Data3.csv"))}));
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(ReadBytes(written[k]), Joined({objects[k]})) << k;
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(progress.steps, (std::vector<int>{0, 0, 330, 660, 1000}));
    EXPECT_EQ(progress.texts[2], S("Creating ") + written[1] + S(" ..."));

    QList<SWriteFailure> failures;
    EXPECT_FALSE(WriteCsvEachFile(dir.filePath(S("gone/Data.csv")), objects, nullptr, nullptr, &failures));
    ASSERT_EQ(failures.size(), 3);
    EXPECT_EQ(failures[0].path, dir.filePath(S("gone/Data1.csv")));
    EXPECT_FALSE(failures[0].reason.isEmpty());
}

// A file that cannot be written does not stop the files after it.
TEST(CsvExport, EachFileGoesOnPastAFileThatCannotBeWritten)
{
    QTemporaryDir dir;
    const QList<TVetraObject> objects = ThreeObjects();
    // Data2.csv cannot be created: a folder of that name is in the way.
    ASSERT_TRUE(QDir(dir.path()).mkdir(S("Data2.csv")));
    QStringList written;
    QList<SWriteFailure> failures;
    EXPECT_FALSE(WriteCsvEachFile(dir.filePath(S("Data.csv")), objects, nullptr, &written, &failures));
    EXPECT_EQ(written, (QStringList{dir.filePath(S("Data1.csv")), dir.filePath(S("Data3.csv"))}));
    ASSERT_EQ(failures.size(), 1);
    EXPECT_EQ(failures[0].path, dir.filePath(S("Data2.csv")));
    EXPECT_EQ(ReadBytes(dir.filePath(S("Data3.csv"))), Joined({objects[2]}));
}

TEST(CsvExport, ClipboardText)
{
    const QList<TVetraObject> objects = ThreeObjects();
    Recorder progress;
    const QString text = BuildCsvClipboardText(objects, &progress);
    QStringList texts;
    for (const TVetraObject &o : objects)
        texts << FormatDataFile(o);
    EXPECT_EQ(text, texts.join(DataFileSeparator()).replace(u';', u'\t'));
    EXPECT_FALSE(text.contains(u';'));
    EXPECT_TRUE(text.contains(S("    Name") + QString(28, u' ') + S("\t\t\tVetrameter+\r\n")));
    EXPECT_TRUE(text.contains(S("\"Wall\t north \u0141\"")));   // keeps every UTF-16 code unit
    EXPECT_EQ(progress.steps.front(), 0);
    EXPECT_EQ(progress.steps.back(), 1000);
    EXPECT_TRUE(std::is_sorted(progress.steps.begin(), progress.steps.end()));
    EXPECT_TRUE(progress.texts.contains(S("Creating  ...")));
    EXPECT_EQ(BuildCsvClipboardText({}), QString());
}

// Neither the text of one object nor a path has a fixed upper limit.
TEST(CsvExport, LongCommentAndLongPathSurvive)
{
    TVetraObject o = MakeObject(5, {44});
    o.comment = QString(70000, u'&');
    ASSERT_GT(FormatDataFile(o).size(), 280000);

    QTemporaryDir dir;
    QString deep = dir.path();
    for (int i = 0; i < 6; ++i)
        deep += QStringLiteral("/") + QString(200, QChar(u'a' + i));
    ASSERT_TRUE(QDir().mkpath(deep));
    const QString path = deep + S("/long.csv");
    ASSERT_GT(path.size(), 1200);

    ASSERT_TRUE(WriteCsvOneFile(path, {o, o}));
    const QList<TVetraObject> read = ReadCsvFile(path);
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(read[1].comment, o.comment);
    EXPECT_EQ(read[1].measurements.size(), 1u);
    ASSERT_TRUE(WriteCsvEachFile(path, {o}));
    const QList<TVetraObject> each = ReadCsvFile(deep + S("/long1.csv"));
    ASSERT_EQ(each.size(), 1);
    EXPECT_EQ(each[0].comment, o.comment);
}
