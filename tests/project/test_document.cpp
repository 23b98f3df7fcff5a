// The project document: the modified rule, synchronisation of downloads,
// restoring, titles, closing, saving that never loses the old file, deep
// copies and the clipboard payload.
#include "projecttest.h"

#include "streamio/filestream.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ProjectTest;
using namespace TestSupport;

namespace {

constexpr std::int64_t kT0 = 1767225600;   // 2026-01-01 00:00 UTC

// Object n of a project recorded at increasing times.
TVetraObject Nth(int n)
{
    return Obj(std::uint16_t(n), {20 + n, 30 + n}, kT0 + 3600 * n);
}

// Ten of them, handed over shuffled so that the list order is not the time order.
QList<TVetraObject> TenObjects()
{
    QList<TVetraObject> list;
    for (int n : {4, 9, 1, 10, 6, 2, 8, 3, 7, 5})
        list << Nth(n);
    return list;
}

// The same recordings as downloaded again: new time stamps and names, which
// the same-object test ignores.
TVetraObject Again(const TVetraObject &o)
{
    TVetraObject copy = o;
    copy.timeStamp += 86400;
    copy.objectName = S("again");
    copy.regional = 1;
    return copy;
}

class DocumentTest : public StreamLayerTest
{
protected:
    void SetUp() override
    {
        StreamLayerTest::SetUp();
        doc.RegisterView(&view);
    }
    QString path(const char *name) const { return dir.filePath(S(name)); }
    QStringList folder() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
    std::string listing() const { return folder().join(u' ').toStdString(); }

    ScriptedUi ui;
    CVetraDoc doc{ui};
    RecordingView view;
    QTemporaryDir dir;
};

}   // namespace

TEST_F(DocumentTest, ListChangesMarkTheProjectModified)
{
    ASSERT_TRUE(doc.AddObjects({Obj(1, {20}, 100), Obj(2, {21}, 200)}, false, false));
    CVetraData &list = doc.Current();
    const std::vector<std::pair<const char *, std::function<void()>>> marking = {
        {"name", [&] { list.SetObjectName(0, S("x")); }},
        {"comment", [&] { list.SetComment(0, S("c")); }},
        {"regional", [&] { list.SetRegional(0, 2); }},
        {"diagram order", [&] { list.SetDiagramOrder(0, 1); }},
        {"expanded", [&] { list.SetExpanded(0, true); }},
        {"time stamp", [&] { list.SetTimeStamp(0, 12345); }},
        {"sort", [&] { list.Sort(1); }},
        {"unknown sort mode", [&] { list.Sort(0); }},
        {"delete", [&] { list.DeleteObject(1); }},
    };
    for (const auto &[what, change] : marking) {
        doc.SetModified(false);
        change();
        EXPECT_TRUE(doc.IsModified()) << what;
    }
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetObject(0).objectName, S("x"));
    EXPECT_EQ(list.GetObject(0).timeStamp, 12345);

    doc.SetModified(false);
    list.SetSelected(0, true);
    list.AddTransferObjects({Obj(3, {22}, 300)}, true);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_THROW(list.SetObjectName(5, S("y")), std::out_of_range);
    EXPECT_THROW(list.DeleteObject(-1), std::out_of_range);
    list.Clear();
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(list.GetSortMode(), 0);
}

TEST_F(DocumentTest, DownloadOverlappingTheLatestThreeAsksFiveAndTwo)
{
    const QList<TVetraObject> project = TenObjects();
    const QList<TVetraObject> download = {Again(Nth(8)), Again(Nth(9)), Again(Nth(10)), Obj(11, {50}, kT0 + 90000),
                                          Obj(12, {51}, kT0 + 90060)};

    // The search itself, on the list in time order.
    CVetraData sorted, incoming;
    sorted.AddTransferObjects(project, false);
    sorted.Sort(3);
    incoming.AddTransferObjects(download, false);
    const SOverlap overlap = sorted.FindOverlap(incoming);
    EXPECT_EQ(overlap.start, 7);
    EXPECT_EQ(overlap.count, 3);
    CVetraData none;
    EXPECT_EQ(sorted.FindOverlap(none).start, -1);
    EXPECT_EQ(none.FindOverlap(incoming).start, -1);
    // A recording held twice: the longest overlap wins.
    CVetraData twice, again;
    twice.AddTransferObjects({Obj(1, {20}, 1), Obj(2, {21}, 2), Obj(2, {21}, 3)}, false);
    again.AddTransferObjects({Obj(2, {21}, 4), Obj(2, {21}, 5), Obj(3, {22}, 6)}, false);
    EXPECT_EQ(twice.FindOverlap(again).start, 1);
    EXPECT_EQ(twice.FindOverlap(again).count, 2);

    for (auto answer : {IDocumentUi::SyncAnswer::AddNewOnly, IDocumentUi::SyncAnswer::AddAll}) {
        const bool newOnly = answer == IDocumentUi::SyncAnswer::AddNewOnly;
        SCOPED_TRACE(newOnly);
        ScriptedUi local;
        local.syncAnswer = answer;
        CVetraDoc d(local);
        ASSERT_TRUE(d.AddObjects(project, false, false));
        d.Current().Sort(6);   // the user's order: by name, descending
        EXPECT_TRUE(local.syncQuestions.empty());

        ASSERT_TRUE(d.AddObjects(download, true, true));
        ASSERT_EQ(local.syncQuestions.size(), 1u);
        EXPECT_EQ(local.syncQuestions[0], std::make_pair(5, 2));
        const int added = newOnly ? 2 : 5;
        ASSERT_EQ(d.Current().GetCount(), 10 + added);
        ASSERT_EQ(d.Originals().GetCount(), 10 + added);
        EXPECT_EQ(d.Originals().GetObject(10).objectNumber, newOnly ? 11 : 8);
        int selected = 0;
        for (int i = 0; i < d.Current().GetCount(); ++i) {
            selected += d.Current().GetObject(i).selected;
            EXPECT_EQ(d.Current().GetObject(i).position, i);
            if (i > 0) {   // added objects take their place in the user's order
                EXPECT_GE(d.Current().GetObject(i - 1).objectName, d.Current().GetObject(i).objectName);
            }
        }
        EXPECT_EQ(selected, added);
        EXPECT_TRUE(d.IsModified());
    }
}

TEST_F(DocumentTest, WholeProjectAgainAddsNothingButResorts)
{
    const QList<TVetraObject> four = {Nth(1), Nth(2), Nth(3), Nth(4)};
    ASSERT_TRUE(doc.AddObjects(four, false, false));
    doc.Current().Sort(5);
    doc.Current().SetObjectName(0, S("Z last"));   // now out of name order
    doc.SetModified(false);
    view.updates.clear();

    QList<TVetraObject> again;
    for (const TVetraObject &o : four)
        again << Again(o);
    ui.syncAnswer = IDocumentUi::SyncAnswer::AddNewOnly;
    ASSERT_TRUE(doc.AddObjects(again, true, true));
    ASSERT_EQ(ui.syncQuestions.size(), 1u);
    EXPECT_EQ(ui.syncQuestions[0], std::make_pair(4, 0));
    EXPECT_EQ(doc.Current().GetCount(), 4);
    EXPECT_EQ(doc.Originals().GetCount(), 4);
    EXPECT_EQ(Names(doc.Current()), QStringList({S("Object 2"), S("Object 3"), S("Object 4"), S("Z last")}));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(view.updates, std::vector<int>{-1});
}

TEST_F(DocumentTest, CancelLeavesBothListsAndTheFlag)
{
    ASSERT_TRUE(doc.AddObjects(TenObjects(), false, false));
    doc.Current().Sort(5);
    for (bool modified : {false, true}) {
        doc.SetModified(modified);
        view.updates.clear();
        const QStringList current = Names(doc.Current()), originals = Names(doc.Originals());
        ui.syncAnswer = IDocumentUi::SyncAnswer::Cancel;
        // Object 10 is the latest and comes first in the download.
        EXPECT_FALSE(doc.AddObjects({Again(Nth(10)), Obj(20, {1}, kT0 + 99999)}, true, true));
        EXPECT_EQ(Names(doc.Current()), current);
        EXPECT_EQ(Names(doc.Originals()), originals);
        EXPECT_EQ(doc.IsModified(), modified);
        EXPECT_TRUE(view.updates.empty());
    }
    EXPECT_EQ(ui.syncQuestions.size(), 2u);
    EXPECT_EQ(ui.syncQuestions[0], std::make_pair(2, 1));
}

TEST_F(DocumentTest, NoOverlapAsksNothingAndAddsAll)
{
    ASSERT_TRUE(doc.AddObjects(TenObjects(), false, false));
    // A new first object; then one already held but not followed by the rest.
    const QList<TVetraObject> download = {Obj(11, {1}, kT0 + 90000), Again(Nth(10))};
    ASSERT_TRUE(doc.AddObjects(download, true, true));
    EXPECT_EQ(doc.Current().GetCount(), 12);
    ASSERT_TRUE(doc.AddObjects({Again(Nth(9)), Obj(12, {2}, kT0 + 90001)}, true, true));
    EXPECT_EQ(doc.Current().GetCount(), 14);

    CVetraDoc fresh(ui);   // a download into a closed project
    ASSERT_TRUE(fresh.AddObjects(download, false, true));
    EXPECT_EQ(fresh.Current().GetCount(), 2);
    EXPECT_TRUE(ui.syncQuestions.empty());
}

TEST_F(DocumentTest, RestoreOriginalsUndoesEdits)
{
    ASSERT_TRUE(doc.AddObjects({Obj(1, {20}, 100), Obj(2, {21}, 200)}, false, true));
    doc.Current().SetObjectName(1, S("renamed"));
    doc.Current().SetExpanded(1, true);
    doc.Current().DeleteObject(0);
    doc.SetModified(false);
    view.updates.clear();

    doc.RestoreOriginals();
    ASSERT_EQ(doc.Current().GetCount(), 2);
    EXPECT_EQ(doc.Current().GetObject(1).objectName, S("Object 2"));
    EXPECT_FALSE(doc.Current().GetObject(1).expanded);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(view.updates, std::vector<int>{-1});
}

TEST_F(DocumentTest, TitleComesFromTheFileName)
{
    EXPECT_EQ(doc.GetTitle(true), QString());
    EXPECT_EQ(doc.GetTitle(false), QString());
    ASSERT_TRUE(doc.AddObjects({Obj(1, {20}, 100)}, false, false));
    EXPECT_EQ(doc.GetTitle(true), S("Unnamed"));

    ASSERT_TRUE(QDir(dir.path()).mkpath(S("v1.2")));
    const std::pair<const char *, const char *> cases[] = {
        {"site.qxs", "site"}, {"README", "README"}, {"v1.2/README", "README"}, {"v1.2/a.b.qxs", "a.b"}};
    for (const auto &[file, title] : cases) {
        ui.savePath = path(file);
        ASSERT_TRUE(doc.SaveAs()) << file;
        EXPECT_EQ(doc.GetPath(), path(file));
        EXPECT_EQ(doc.GetTitle(true), S(title));
        EXPECT_EQ(doc.GetTitle(false), path(file));
    }
    EXPECT_EQ(ui.savePathNames, QStringList({S("Unnamed"), S("site"), S("README"), S("README")}));
}

TEST_F(DocumentTest, CloseAsksOnlyWhenThereIsSomethingToLose)
{
    doc.SetModified(true);   // empty but modified
    EXPECT_TRUE(doc.CloseProject());
    EXPECT_EQ(ui.saveQuestions, 0);
    EXPECT_FALSE(doc.IsModified());

    ASSERT_TRUE(doc.AddObjects({Obj(1, {20}, 100)}, false, false));
    ui.savePath = path("p.qxs");
    ASSERT_TRUE(doc.SaveAs());
    EXPECT_TRUE(doc.CloseProject()) << "saved: nothing to ask";
    EXPECT_EQ(ui.saveQuestions, 0);

    ASSERT_TRUE(doc.OpenProject(path("p.qxs"), false));
    doc.Current().SetObjectName(0, S("edited"));
    ui.saveAnswer = IDocumentUi::SaveAnswer::Cancel;
    EXPECT_FALSE(doc.CloseProject());
    EXPECT_EQ(ui.saveQuestions, 1);
    EXPECT_EQ(doc.Current().GetObject(0).objectName, S("edited"));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.GetPath(), path("p.qxs"));

    ui.saveAnswer = IDocumentUi::SaveAnswer::Yes;
    view.updates.clear();
    EXPECT_TRUE(doc.CloseProject());
    EXPECT_FALSE(doc.HasObjects());
    EXPECT_TRUE(doc.GetPath().isEmpty());
    EXPECT_EQ(view.updates, std::vector<int>{-1});
    CVetraDoc reread(ui);
    ASSERT_TRUE(reread.OpenProject(path("p.qxs"), false));
    EXPECT_EQ(reread.Current().GetObject(0).objectName, S("edited"));
    EXPECT_TRUE(ui.errors.isEmpty());
}

TEST_F(DocumentTest, CloseKeepsTheProjectWhenTheSaveFails)
{
    ASSERT_TRUE(doc.AddObjects({Obj(1, {20}, 100)}, false, false));
    ui.saveAnswer = IDocumentUi::SaveAnswer::Yes;
    ui.savePath = std::nullopt;   // the save dialog cancelled
    EXPECT_FALSE(doc.CloseProject());
    EXPECT_TRUE(doc.HasObjects());
    EXPECT_TRUE(ui.errors.isEmpty());

    ui.savePath = path("missing/p.qxs");
    EXPECT_FALSE(doc.CloseProject());
    EXPECT_TRUE(doc.HasObjects());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(doc.GetPath().isEmpty()) << "a failed save-as records no path";
    ASSERT_EQ(ui.errors.size(), 1);
    EXPECT_TRUE(ui.errors[0].contains(path("missing/p.qxs"))) << ui.errors[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("missing")));

    // Opening another project goes through the same question.
    ScriptedUi otherUi;
    CVetraDoc other(otherUi);
    ASSERT_TRUE(other.AddObjects({Obj(7, {30}, 700), Obj(8, {31}, 800)}, false, false));
    ASSERT_TRUE(other.SaveToPath(path("other.qxs")));
    const int asked = ui.saveQuestions;
    ui.saveAnswer = IDocumentUi::SaveAnswer::Cancel;
    EXPECT_FALSE(doc.OpenProject(path("other.qxs"), false));
    EXPECT_EQ(Names(doc.Current()), QStringList{S("Object 1")});
    ui.saveAnswer = IDocumentUi::SaveAnswer::No;
    EXPECT_TRUE(doc.OpenProject(path("other.qxs"), false));
    EXPECT_EQ(Names(doc.Current()), QStringList({S("Object 7"), S("Object 8")}));
    EXPECT_EQ(ui.saveQuestions, asked + 2);
}

namespace {

// Files may grow to `limit` bytes for the scope; writing past it fails with
// EFBIG instead of killing the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit r = m_old;
        r.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &r);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int);
};

// A thousand full objects: a project of about 0.7 MB.
QList<TVetraObject> ManyObjects()
{
    QList<TVetraObject> many;
    for (int i = 0; i < 1000; ++i) {
        TVetraObject o = Obj(std::uint16_t(i), {}, kT0 + i);
        o.comment = QString(100, u'c');
        for (int m = 1; m <= 99; ++m)
            o.measurements.push_back({std::uint8_t(m), std::uint8_t(m), 16});
        many << o;
    }
    return many;
}

// Saves in a child process that is killed (SIGKILL) part-way through writing:
// its files may grow to 200 KiB, and the signal for growing past that kills
// it on the spot, so nothing of the save gets to clean up.
::testing::AssertionResult SaveKilledPartWay(CVetraDoc &doc, const QString &path)
{
    const pid_t child = ::fork();
    if (child < 0)
        return ::testing::AssertionFailure() << "fork: " << std::strerror(errno);
    if (child == 0) {
        std::signal(SIGXFSZ, [](int) { ::kill(::getpid(), SIGKILL); });
        rlimit r{};
        ::getrlimit(RLIMIT_FSIZE, &r);
        r.rlim_cur = 200 * 1024;
        ::setrlimit(RLIMIT_FSIZE, &r);
        doc.SaveToPath(path);
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the saving child was not killed (status " << status << ")";
}

// The save's path on file systems without unnamed files, for the scope.
class UnnamedFilesRefused
{
public:
    UnnamedFilesRefused() { StreamIO::CFileStream::SetUnnamedFilesRefused(true); }
    ~UnnamedFilesRefused() { StreamIO::CFileStream::SetUnnamedFilesRefused(false); }
};

}   // namespace

TEST_F(DocumentTest, SaveFailingHalfWayKeepsTheOldFile)
{
    ASSERT_TRUE(doc.AddObjects({Obj(1, {20}, 100)}, false, false));
    ui.savePath = path("site.qxs");
    ASSERT_TRUE(doc.SaveAs());
    const QByteArray old = ReadBytes(path("site.qxs"));
    ASSERT_FALSE(old.isEmpty());

    ASSERT_TRUE(doc.AddObjects(ManyObjects(), true, false));
    {
        FileSizeLimit limit(200 * 1024);
        EXPECT_FALSE(doc.Save());
        EXPECT_FALSE(doc.SaveToPath(path("site.qxs")));
    }
    EXPECT_EQ(ReadBytes(path("site.qxs")), old);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.GetPath(), path("site.qxs"));
    EXPECT_EQ(ui.errors.size(), 2);
    EXPECT_EQ(folder(), QStringList{S("site.qxs")}) << "no temporary file left behind";

    // Without the limit the same save goes through.
    ui.errors.clear();
    EXPECT_TRUE(doc.Save());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_GT(QFileInfo(path("site.qxs")).size(), 200 * 1024);
    EXPECT_EQ(folder(), QStringList{S("site.qxs")});
    EXPECT_TRUE(ui.errors.isEmpty());
}

TEST_F(DocumentTest, SaveKilledPartWayLeavesOnlyTheOldFile)
{
    {
        StreamIO::CFileStream probe;
        if (!probe.OpenUnnamed(dir.path(), StreamIO::SO_READ | StreamIO::SO_WRITE))
            GTEST_SKIP() << "the file system of " << dir.path().toStdString() << " has no unnamed files";
    }
    ASSERT_TRUE(doc.AddObjects({Obj(1, {20}, 100)}, false, false));
    ASSERT_TRUE(doc.SaveToPath(path("site.qxs")));
    const QByteArray old = ReadBytes(path("site.qxs"));
    ASSERT_TRUE(doc.AddObjects(ManyObjects(), true, false));

    ASSERT_TRUE(SaveKilledPartWay(doc, path("site.qxs")));
    EXPECT_EQ(folder(), QStringList{S("site.qxs")}) << listing();
    EXPECT_EQ(ReadBytes(path("site.qxs")), old);

    // The same through a link: the link and its target are all there is.
    ASSERT_TRUE(QFile::link(path("site.qxs"), path("link.qxs")));
    ASSERT_TRUE(SaveKilledPartWay(doc, path("link.qxs")));
    EXPECT_EQ(folder(), QStringList({S("link.qxs"), S("site.qxs")})) << listing();
    EXPECT_EQ(ReadBytes(path("site.qxs")), old);
}

TEST_F(DocumentTest, WithoutUnnamedFilesTheNextSaveRemovesStaleTemporaries)
{
    UnnamedFilesRefused refused;
    ASSERT_TRUE(doc.AddObjects({Obj(1, {20}, 100)}, false, false));
    ASSERT_TRUE(doc.SaveToPath(path("site.qxs")));
    EXPECT_EQ(folder(), QStringList{S("site.qxs")}) << listing();
    const QByteArray old = ReadBytes(path("site.qxs"));
    ASSERT_TRUE(doc.AddObjects(ManyObjects(), true, false));

    // A killed save on this path leaves its named temporary.
    ASSERT_TRUE(SaveKilledPartWay(doc, path("site.qxs")));
    EXPECT_EQ(ReadBytes(path("site.qxs")), old);
    QStringList left = folder();
    left.removeOne(S("site.qxs"));
    ASSERT_EQ(left.size(), 1) << left.join(u' ').toStdString();
    EXPECT_TRUE(QRegularExpression(S("^site\\.qxs\\.~[0-9a-f]{8}$")).match(left[0]).hasMatch())
        << left[0].toStdString();

    // An older leftover; one that another save still writes; files that only
    // look like temporaries of this project.
    WriteBytes(path("site.qxs.~deadbeef"), "stale");
    const QStringList unrelated = {S("other.qxs.~0123abcd"), S("site.qxs.~0123abc"), S("site.qxs.~0123abcd0"),
                                   S("site.qxs.~0123abcg"),  S("site.qxs.bak"),      S("xsite.qxs.~0123abcd"),
                                   S("site.qxs~0123abcd")};
    for (const QString &name : unrelated)
        WriteBytes(dir.filePath(name), "unrelated");
    ASSERT_TRUE(QDir(dir.path()).mkdir(S("site.qxs.~00000000")));
    ASSERT_TRUE(QFile::link(path("site.qxs.bak"), path("site.qxs.~11111111")));
    StreamIO::CFileStream busy;
    ASSERT_TRUE(
        busy.Open(path("site.qxs.~feedf00d"), StreamIO::SO_READ | StreamIO::SO_WRITE | StreamIO::SO_CREATE_NEW));

    ASSERT_TRUE(doc.SaveToPath(path("site.qxs")));
    QStringList expected = unrelated + QStringList{S("site.qxs"), S("site.qxs.~11111111"), S("site.qxs.~feedf00d")};
    expected.sort();
    EXPECT_EQ(folder(), expected) << listing();
    EXPECT_TRUE(QFileInfo(path("site.qxs.~00000000")).isDir());
    for (const QString &name : unrelated)
        EXPECT_EQ(ReadBytes(dir.filePath(name)), QByteArray("unrelated")) << name.toStdString();
    CVetraDoc reread(ui);
    ASSERT_TRUE(reread.OpenProject(path("site.qxs"), false));
    EXPECT_EQ(reread.Current().GetCount(), 1001);

    // A save that fails removes its own temporary and nothing else.
    busy.Close();
    doc.Current().SetComment(0, S("changed"));
    {
        FileSizeLimit limit(200 * 1024);
        EXPECT_FALSE(doc.SaveToPath(path("site.qxs")));
    }
    EXPECT_EQ(folder(), expected) << listing();
}

TEST_F(DocumentTest, ReplacingKeepsPermissionsAndLinks)
{
    ASSERT_TRUE(doc.AddObjects({Obj(1, {20}, 100)}, false, false));
    ASSERT_TRUE(doc.SaveToPath(path("p.qxs")));
    ASSERT_EQ(::chmod(QFile::encodeName(path("p.qxs")).constData(), 0640), 0);
    ASSERT_TRUE(QFile::link(path("p.qxs"), path("link.qxs")));

    doc.Current().SetComment(0, S("second"));
    ASSERT_TRUE(doc.SaveToPath(path("link.qxs")));
    EXPECT_TRUE(QFileInfo(path("link.qxs")).isSymLink());
    struct stat st
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(path("p.qxs")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    CVetraDoc reread(ui);
    ASSERT_TRUE(reread.OpenProject(path("p.qxs"), false));
    EXPECT_EQ(reread.Current().GetObject(0).comment, S("second"));
}

TEST_F(DocumentTest, CopyFromIsADeepCopyWithoutSelection)
{
    CVetraData source;
    TVetraObject a = Obj(3, {20, 255, 22}, kT0);
    a.comment = S("line\r\nbreak");
    source.AddTransferObjects({a, Obj(1, {}, kT0 + 1)}, true);
    source.SetExpanded(0, true);
    source.SetDiagramOrder(1, 1);
    source.Sort(5);
    ASSERT_TRUE(source.GetObject(0).selected);

    doc.SetModified(false);
    CVetraData &copy = doc.Current();
    copy.CopyFrom(source);
    EXPECT_FALSE(doc.IsModified());
    ASSERT_EQ(copy.GetCount(), 2);
    EXPECT_EQ(copy.GetSortMode(), 5);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        ExpectSameObject(copy.GetObject(i), source.GetObject(i));
        EXPECT_FALSE(copy.GetObject(i).selected);
        EXPECT_EQ(copy.GetObject(i).position, -1);
    }
    source.SetObjectName(0, S("changed"));
    source.DeleteObject(1);
    EXPECT_EQ(copy.GetObject(0).objectName, S("Object 1"));
    EXPECT_EQ(copy.GetCount(), 2);

    CVetraData empty;
    copy.CopyFrom(empty);
    EXPECT_EQ(copy.GetCount(), 0);
    EXPECT_EQ(copy.GetSortMode(), 0);
}

TEST_F(DocumentTest, ViewsAreToldExceptTheSender)
{
    RecordingView second;
    doc.RegisterView(&second);
    doc.RegisterView(&second);   // once only
    doc.UpdateAllViews(&view, 4);
    EXPECT_TRUE(view.updates.empty());
    EXPECT_EQ(second.updates, std::vector<int>{4});
    doc.UnregisterView(&second);
    doc.UpdateAllViews(nullptr, -1);
    EXPECT_EQ(view.updates, std::vector<int>{-1});
    EXPECT_EQ(second.updates.size(), 1u);
}

// ---------------------------------------------------------------------------

namespace {

class ClipboardTest : public DocumentTest
{
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        TVetraObject a = Obj(1, {20, 21}, kT0), b = Obj(2, {255, 30, 31}, kT0 + 10);
        TVetraObject c = Obj(3, {}, kT0 + 20), d = Obj(4, {44}, kT0 + 30);
        b.comment = S("with \"quotes\"\tand tab");
        d.regional = 1;
        d.neighborCorrection = 50;
        ASSERT_TRUE(source.AddObjects({a, b, c, d}, false, false));
        source.Current().SetExpanded(1, true);
        source.Current().SetDiagramOrder(3, 1);
        ASSERT_TRUE(source.CopyToClipboard(clipboard, {false, true, false, true}));
        ASSERT_TRUE(clipboard.data);
    }
    // Everything a paste could change.
    QString state(const CVetraDoc &d) const
    {
        QStringList parts;
        for (const CVetraData *list : {&d.Current(), &d.Originals()}) {
            parts << QString::number(list->GetSortMode());
            for (int i = 0; i < list->GetCount(); ++i)
                parts << list->GetObject(i).objectName + QString::number(list->GetObject(i).selected);
        }
        return parts.join(u',') + QString::number(d.IsModified());
    }

    ScriptedUi sourceUi;
    CVetraDoc source{sourceUi};
    FakeClipboard clipboard;
};

}   // namespace

TEST_F(ClipboardTest, PastedObjectsKeepEveryField)
{
    const QByteArray &block = *clipboard.data;
    EXPECT_EQ(qFromLittleEndian<std::uint32_t>(block.constData()), std::uint32_t(block.size() - 4));
    const Selection flags{false, true, false, true};
    EXPECT_EQ(block.mid(4), WrittenBytes(source.Originals(), source.Current(), &flags, {1, 0, 1, 0}));
    EXPECT_TRUE(doc.CanPaste(clipboard));

    ASSERT_TRUE(doc.AddObjects({Obj(9, {10}, kT0 - 100)}, false, false));
    doc.SetModified(false);
    view.updates.clear();
    ASSERT_TRUE(doc.PasteFromClipboard(clipboard));
    ASSERT_EQ(doc.Current().GetCount(), 3);
    EXPECT_EQ(doc.Originals().GetCount(), 1);
    ExpectSameObject(doc.Current().GetObject(1), source.Current().GetObject(1));
    ExpectSameObject(doc.Current().GetObject(2), source.Current().GetObject(3));
    EXPECT_TRUE(doc.Current().GetObject(1).expanded);
    EXPECT_EQ(doc.Current().GetObject(2).diagramOrder, 1);
    EXPECT_EQ(doc.Current().GetObject(2).neighborCorrection, 50);
    EXPECT_FALSE(doc.Current().GetObject(0).selected);
    EXPECT_TRUE(doc.Current().GetObject(1).selected);
    EXPECT_TRUE(doc.Current().GetObject(2).selected);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(doc.Current().GetObject(i).position, i);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(view.updates, std::vector<int>{-1});
    EXPECT_TRUE(ui.errors.isEmpty());
}

TEST_F(ClipboardTest, PasteIntoEmptyProjectSelectsNothingAndRestoreDropsIt)
{
    ASSERT_TRUE(doc.PasteFromClipboard(clipboard));
    ASSERT_EQ(doc.Current().GetCount(), 2);
    EXPECT_FALSE(doc.Current().GetObject(0).selected);
    EXPECT_FALSE(doc.Current().GetObject(1).selected);
    EXPECT_EQ(doc.Originals().GetCount(), 0);
    doc.RestoreOriginals();
    EXPECT_EQ(doc.Current().GetCount(), 0);
}

TEST_F(ClipboardTest, TextOnlyClipboardDoesNothing)
{
    ASSERT_TRUE(doc.AddObjects({Obj(9, {10}, kT0)}, false, false));
    doc.SetModified(false);
    view.updates.clear();
    const QString before = state(doc);
    FakeClipboard textOnly;
    EXPECT_FALSE(doc.CanPaste(textOnly));
    EXPECT_TRUE(doc.PasteFromClipboard(textOnly));
    EXPECT_EQ(state(doc), before);
    EXPECT_TRUE(view.updates.empty());
    EXPECT_TRUE(ui.errors.isEmpty());

    textOnly.data = QByteArray(4, '\0');
    EXPECT_FALSE(doc.CanPaste(textOnly)) << "n = 0";
    textOnly.data = QByteArray();
    EXPECT_FALSE(doc.CanPaste(textOnly));
}

TEST_F(ClipboardTest, DamagedPayloadsChangeNothing)
{
    ASSERT_TRUE(doc.AddObjects({Obj(9, {10}, kT0)}, false, false));
    doc.Current().Sort(5);
    doc.SetModified(false);
    view.updates.clear();
    const QString before = state(doc);

    const QByteArray data = clipboard.data->mid(4);
    const std::uint32_t n = std::uint32_t(data.size());
    QByteArray wrongTitle = data;
    wrongTitle[5] = 'q';
    const std::pair<const char *, QByteArray> damaged[] = {
        {"three bytes", QByteArray::fromHex("050000")},
        {"n beyond the block", Block(data, n + 1)},
        {"n far beyond", Block(data, 0xFFFFFFFFu)},
        {"cut inside the second object", Block(data.left(data.size() - 100), n - 100)},
        {"cut inside the first object", Block(data.left(200), 200)},
        {"wrong title", Block(wrongTitle, n)},
        {"n = 0", Block(data, 0)},
    };
    for (const auto &[what, block] : damaged) {
        SCOPED_TRACE(what);
        ui.errors.clear();
        FakeClipboard bad;
        bad.data = block;
        EXPECT_FALSE(doc.PasteFromClipboard(bad));
        EXPECT_EQ(ui.errors, QStringList{kReadError});
        EXPECT_EQ(state(doc), before);
    }
    EXPECT_TRUE(view.updates.empty());

    // Bytes after the n announced are not part of the payload.
    FakeClipboard trailing;
    trailing.data = Block(data + QByteArray("garbage"), n);
    ui.errors.clear();
    EXPECT_TRUE(doc.PasteFromClipboard(trailing));
    EXPECT_EQ(doc.Current().GetCount(), 3);
    EXPECT_TRUE(ui.errors.isEmpty());
}

TEST_F(ClipboardTest, RefusedClipboardReportsFalse)
{
    FakeClipboard refusing;
    refusing.accept = false;
    EXPECT_FALSE(source.CopyToClipboard(refusing, {true, true, true, true}));
    EXPECT_FALSE(refusing.data);
}
