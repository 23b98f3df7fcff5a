#include "project/vetradoc.h"

#include <optional>

#include "res/resources.h"
#include "streamio/archive.h"
#include "streamio/filestream.h"
#include "streamio/ramstream.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <numeric>
#include <unistd.h>

using namespace StreamIO;

CVetraDoc::CVetraDoc(IDocumentUi &ui) : m_ui(ui), m_current(this) {}

CVetraDoc::~CVetraDoc()
{
    m_current.Clear();
    m_originals.Clear();
}

void CVetraDoc::RegisterView(IDocumentView *view)
{
    if (view && std::find(m_views.begin(), m_views.end(), view) == m_views.end())
        m_views.push_back(view);
}

void CVetraDoc::UnregisterView(IDocumentView *view)
{
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

void CVetraDoc::UpdateAllViews(IDocumentView *sender, int index)
{
    const SDocumentChange change = index < 0 ? SDocumentChange::All()
                                             : SDocumentChange::ObjectChanged(index, SDocumentChange::Field::Any);
    const std::vector<IDocumentView *> views = m_views;   // a view may unregister meanwhile
    for (IDocumentView *v : views)
        if (v != sender)
            v->OnDocumentChange(change);
}

void CVetraDoc::Notify(const SDocumentChange &change)
{
    const std::vector<IDocumentView *> views = m_views;
    for (IDocumentView *v : views)
        v->OnDocumentChange(change);
}

void CVetraDoc::Perform(std::unique_ptr<DocEdits::CEdit> edit)
{
    edit->Redo(*this);
    if (m_recorder)
        m_recorder->Record(std::move(edit));
}

// ---------------------------------------------------------------------------
// The primitive changes

using DocEdits::NList;
using Field = SDocumentChange::Field;

DocEdits::SFieldValue CVetraDoc::FieldValue(int object, Field field) const
{
    const object_t &o = m_current.GetObject(object);
    DocEdits::SFieldValue value;
    value.field = field;
    switch (field) {
    case Field::Name: value.text = o.objectName; break;
    case Field::Comment: value.text = o.comment; break;
    case Field::Regional: value.number = o.regional; break;
    case Field::TimeStamp: value.number = o.timeStamp; break;
    default: break;
    }
    return value;
}

void CVetraDoc::ApplyField(int object, const DocEdits::SFieldValue &value)
{
    switch (value.field) {
    case Field::Name: m_current.SetObjectName(object, value.text); break;
    case Field::Comment: m_current.SetComment(object, value.text); break;
    case Field::Regional: m_current.SetRegional(object, std::uint8_t(value.number)); break;
    case Field::TimeStamp: m_current.SetTimeStamp(object, value.number); break;
    default: return;
    }
    Notify(SDocumentChange::ObjectChanged(object, value.field));
}

CVetraData::Objects CVetraDoc::TakeObjects(NList list, const std::vector<int> &positions)
{
    CVetraData::Objects taken = List(list).Remove(positions);
    if (list == NList::Current) {
        SDocumentChange change;
        change.kind = SDocumentChange::Kind::Removed;
        change.positions = positions;
        Notify(change);
    }
    return taken;
}

void CVetraDoc::PutObjects(NList list, const std::vector<int> &positions, CVetraData::Objects objects)
{
    List(list).Insert(positions, std::move(objects));
    if (list == NList::Current) {
        SDocumentChange change;
        change.kind = SDocumentChange::Kind::Inserted;
        change.positions = positions;
        Notify(change);
    }
}

void CVetraDoc::ReorderList(NList list, const std::vector<int> &sourceOf, std::uint8_t sortMode)
{
    CVetraData &data = List(list);
    data.Reorder(sourceOf);
    data.SetSortMode(sortMode);
    if (list == NList::Current) {
        SDocumentChange change;
        change.kind = SDocumentChange::Kind::Reordered;
        change.sourceOf = sourceOf;
        Notify(change);
    }
}

CVetraData::Objects CVetraDoc::ReplaceList(NList list, CVetraData::Objects objects, std::uint8_t &sortMode)
{
    CVetraData &data = List(list);
    const std::uint8_t before = data.GetSortMode();
    CVetraData::Objects replaced = data.Replace(std::move(objects));
    data.SetSortMode(sortMode);
    sortMode = before;
    if (list == NList::Current)
        Notify(SDocumentChange::All());
    return replaced;
}

void CVetraDoc::addObjects(NList list, CVetraData::Objects objects, std::uint8_t sortMode, bool sorted)
{
    CVetraData &data = List(list);
    const int mode = sortMode;
    const bool sorts = sorted && mode >= 1 && mode <= kSortModeCount;
    // First the list itself in the order it will have, then the new objects
    // merged in where a sort of all of them puts them (ties: the old first).
    if (sorts) {
        std::vector<int> order = data.SortOrder(mode);
        const bool moves = !std::is_sorted(order.begin(), order.end());
        if (moves || data.GetSortMode() != sortMode)
            Perform(DocEdits::ReorderObjects(*this, list, std::move(order), sortMode));
        std::stable_sort(objects.begin(), objects.end(),
                         [mode](const auto &a, const auto &b) { return CompareObjects(mode, *a, *b) < 0; });
    } else if (data.GetSortMode() != sortMode) {
        std::vector<int> same(std::size_t(data.GetCount()));
        std::iota(same.begin(), same.end(), 0);
        Perform(DocEdits::ReorderObjects(*this, list, std::move(same), sortMode));
    }
    if (objects.empty())
        return;   // the list was sorted again all the same
    std::vector<int> positions;
    positions.reserve(objects.size());
    int old = 0;
    const int count = data.GetCount();
    for (std::size_t j = 0; j < objects.size(); ++j) {
        if (sorts)
            while (old < count && CompareObjects(mode, *objects[j], data.GetObject(old)) >= 0)
                ++old;
        else
            old = count;
        positions.push_back(old + int(j));
    }
    Perform(DocEdits::InsertObjects(list, std::move(positions), std::move(objects)));
}

void CVetraDoc::joinLists(CVetraData &originals, CVetraData &current, bool sortCurrent)
{
    for (auto [list, joining] : {std::pair{NList::Originals, &originals}, std::pair{NList::Current, &current}}) {
        // Objects that join a project's objects come selected, and the
        // stored sort mode comes along with them.
        const bool joins = List(list).GetCount() > 0;
        const std::uint8_t mode = joining->GetCount() > 0 ? joining->GetSortMode() : List(list).GetSortMode();
        CVetraData::Objects objects = joining->Replace({});
        for (auto &o : objects)
            o->selected = joins;
        addObjects(list, std::move(objects), mode, sortCurrent && list == NList::Current);
    }
}

void CVetraDoc::renumber()
{
    std::vector<std::int32_t> positions(std::size_t(m_current.GetCount()));
    std::iota(positions.begin(), positions.end(), 0);
    m_current.SetPositions(positions);
}

namespace {

CVetraData::Objects projectObjects(const QList<TVetraObject> &objects, bool add)
{
    CVetraData::Objects made;
    made.reserve(std::size_t(objects.size()));
    for (const TVetraObject &t : objects)
        made.push_back(std::make_unique<object_t>(ToProjectObject(t, add)));
    return made;
}

}   // namespace

bool CVetraDoc::AddObjects(const QList<TVetraObject> &incoming, bool add, bool synchronize)
{
    CChangeScope change(*this, QString());
    QList<TVetraObject> objects = incoming;
    if (synchronize) {
        SOverlap overlap;
        {
            CVetraData latest;
            latest.CopyFrom(m_current);
            latest.Sort(Sort_Time);   // by time stamp, then number: the instrument's order
            CVetraData arriving;
            arriving.AddTransferObjects(incoming, false);
            overlap = latest.FindOverlap(arriving);
        }
        if (overlap.start >= 0) {
            const int m = int(incoming.size());
            switch (m_ui.AskSynchronize(m, m - overlap.count)) {
            case IDocumentUi::SyncAnswer::Cancel: return false;
            case IDocumentUi::SyncAnswer::AddNewOnly: objects.remove(0, overlap.count); break;
            case IDocumentUi::SyncAnswer::AddAll: break;
            }
        }
    }
    change.SetText(Res::FormatCounted(Res::IDS_UNDO_ADD_ONE, Res::IDS_UNDO_ADD, int(objects.size())));
    if (add) {
        addObjects(NList::Originals, projectObjects(objects, add), m_originals.GetSortMode(), false);
        addObjects(NList::Current, projectObjects(objects, add), m_current.GetSortMode(), true);
    } else {
        // A new list: the views build their rows anew.
        Perform(DocEdits::ReplaceObjects(NList::Originals, projectObjects(objects, add), 0));
        Perform(DocEdits::ReplaceObjects(NList::Current, projectObjects(objects, add), 0));
    }
    renumber();
    m_modified = true;
    return true;
}

void CVetraDoc::RestoreOriginals()
{
    const CChangeScope change(*this, Res::LoadString(Res::IDS_UNDO_RESTORE));
    CVetraData copy;
    copy.CopyFrom(m_originals);
    const std::uint8_t sortMode = copy.GetSortMode();
    Perform(DocEdits::ReplaceObjects(NList::Current, copy.Replace({}), sortMode));
    m_modified = true;
}

QString CVetraDoc::GetTitle(bool fileNameOnly) const
{
    if (m_path.isEmpty())
        return HasObjects() ? Res::LoadString(Res::IDS_UNNAMED) : QString();
    if (!fileNameOnly)
        return m_path;
    const qsizetype slash = m_path.lastIndexOf(u'/');
    if (slash < 0)
        return {};
    QString name = m_path.mid(slash + 1);
    if (name.contains(u'.'))   // the name's own point, not one in a folder name
        name.chop(4);
    return name;
}

bool CVetraDoc::CloseProject()
{
    if (m_modified && HasObjects()) {
        switch (m_ui.AskSaveChanges()) {
        case IDocumentUi::SaveAnswer::Cancel: return false;
        case IDocumentUi::SaveAnswer::Yes:
            if (!Save())
                return false;
            break;
        case IDocumentUi::SaveAnswer::No: break;
        }
    }
    m_current.Clear();
    m_originals.Clear();
    m_path.clear();
    m_modified = false;
    if (m_recorder)
        m_recorder->DocumentReplaced();
    UpdateAllViews(nullptr, -1);
    return true;
}

bool CVetraDoc::Save()
{
    return m_path.isEmpty() ? SaveAs() : SaveToPath(m_path);
}

bool CVetraDoc::SaveAs()
{
    const std::optional<QString> chosen = m_ui.AskSavePath(GetTitle(true));
    if (!chosen || chosen->isEmpty())
        return false;
    const QString path = QFileInfo(*chosen).absoluteFilePath();
    if (!SaveToPath(path))
        return false;
    m_path = path;
    return true;
}

namespace {

// Where the bytes go: the file a symbolic link points to, so that saving
// through a link keeps the link.
QString saveTarget(const QString &path)
{
    const QFileInfo info(path);
    return info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
}

void syncFolder(const QString &file)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(file).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Temporaries are "<target>.~" and eight hex digits, in the target's folder.
constexpr int kTempDigits = 8;

QString temporaryPrefix(const QString &target)
{
    return target + QStringLiteral(".~");
}

// Runs `make` with fresh temporary names until one is free.
template <class Make>
QString underFreshName(const QString &target, Make make)
{
    for (int attempt = 0;; ++attempt) {
        const QString temp = temporaryPrefix(target)
                             + QStringLiteral("%1").arg(QRandomGenerator::global()->generate(), kTempDigits, 16,
                                                        QChar(u'0'));
        try {
            make(temp);
            return temp;
        } catch (const StreamError &e) {
            if (e.code() != ERR_FILE_EXISTS || attempt >= 16)
                throw;
        }
    }
}

bool isTemporaryOf(const QString &fileName, const QString &targetName)
{
    const QString prefix = temporaryPrefix(targetName);
    if (fileName.size() != prefix.size() + kTempDigits || !fileName.startsWith(prefix))
        return false;
    for (qsizetype i = prefix.size(); i < fileName.size(); ++i) {
        const char16_t c = fileName[i].unicode();
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return false;
    }
    return true;
}

// A save that died before its rename leaves its named temporary behind. One
// that another save still writes is locked, so the probe fails and it stays.
void removeStaleTemporaries(const QString &target)
{
    const QFileInfo info(target);
    const QDir folder = info.absoluteDir();
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QString &name : names) {
        if (!isTemporaryOf(name, info.fileName()))
            continue;
        const QString stale = folder.filePath(name);
        CFileStream probe;
        try {
            probe.Open(stale, SO_READ);
        } catch (const StreamError &) {
            continue;
        }
        ::unlink(QFile::encodeName(stale).constData());
    }
}

}   // namespace

void CVetraDoc::writeTo(const QString &path)
{
    const QString target = saveTarget(path);
    CFileStream file;
    // An unnamed file vanishes with the process if the save dies; it gets a
    // name only once complete, and that name is renamed over the target so
    // that the replacement stays atomic.
    const bool unnamed = file.OpenUnnamed(QFileInfo(target).absolutePath(), SO_READ | SO_WRITE);
    QString temp;
    if (!unnamed)
        temp = underFreshName(target,
                              [&](const QString &name) { file.Open(name, SO_READ | SO_WRITE | SO_CREATE_NEW); });
    try {
        CQXArchive archive(file.GetHandle(), CQXArchive::MODE_STORE, CQXArchive::kFileBufferSize);
        WriteProjectFile(m_originals, m_current, archive, nullptr, m_version);
        archive.Flush();
        file.Flush();   // the bytes are on the disk before the old file goes
        if (unnamed)
            temp = underFreshName(target, [&](const QString &name) { file.LinkAs(name); });
        archive.Close();
        if (QFileInfo::exists(target))
            QFile::setPermissions(temp, QFile::permissions(target));
        if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) != 0)
            throw StreamError(CodeFromErrno(errno), target, SystemErrorText(errno));
    } catch (...) {
        file.Abort();
        if (!temp.isEmpty())
            ::unlink(QFile::encodeName(temp).constData());
        throw;
    }
    syncFolder(target);
    if (!unnamed)
        removeStaleTemporaries(target);
}

bool CVetraDoc::SaveToPath(const QString &path)
{
    try {
        writeTo(path);
    } catch (const StreamError &e) {
        m_ui.ShowError(Res::FormatString(Res::IDS_PROJECT_SAVE_FAILED, {path, e.message()}));
        return false;
    }
    m_modified = false;
    if (m_recorder)
        m_recorder->DocumentSaved();
    if (m_fileListener)
        m_fileListener(QFileInfo(path).absoluteFilePath());
    return true;
}

bool CVetraDoc::OpenProject(const QString &givenPath, bool add)
{
    QString path = givenPath;
    if (path.isEmpty()) {
        const std::optional<QString> chosen = m_ui.AskOpenPath();
        if (!chosen)
            return false;
        path = *chosen;
    }
    if (path.isEmpty())
        return false;
    if (!add && !CloseProject())
        return false;
    // Adding a project is one change; opening one starts the history afresh.
    std::optional<CChangeScope> change;
    if (add)
        change.emplace(*this, QString());
    const bool hadObjects = HasObjects();
    const bool wasModified = m_modified;
    const int before = m_current.GetCount() + m_originals.GetCount();
    m_modified = false;
    bool ok = true;
    QString reason;
    // Added objects are read aside first and then join the lists as one
    // change; what was read before a damaged part is kept either way.
    CVetraData addedOriginals, addedCurrent;
    try {
        CQXArchive archive(path, CQXArchive::MODE_LOAD, CQXArchive::kFileBufferSize);
        ReadProjectFile(add ? addedOriginals : m_originals, add ? addedCurrent : m_current, archive);
    } catch (const StreamError &e) {
        ok = false;
        reason = e.message();
    }
    if (add) {
        joinLists(addedOriginals, addedCurrent, false);
        m_modified = false;   // the list's changes mark it; whether that counts is decided below
    }
    // Adding to objects the project held changes its content, and edits made
    // before stay unsaved: keep it marked so that closing asks first.
    if (add && hadObjects && (wasModified || m_current.GetCount() + m_originals.GetCount() != before))
        m_modified = true;
    if (ok && !add) {
        m_path = QFileInfo(path).absoluteFilePath();
        if (m_fileListener)
            m_fileListener(m_path);
    }
    // The second line says why: the file is missing or locked, or what in it
    // could not be read.
    if (!ok)
        m_ui.ShowError(Res::LoadString(Res::IDS_PROJECT_READ_ERROR) + u'\n' + reason);
    if (change) {
        const int added = m_current.GetCount() + m_originals.GetCount() - before;
        change->SetText(Res::FormatCounted(Res::IDS_UNDO_ADD_ONE, Res::IDS_UNDO_ADD, added));
    } else {
        if (m_recorder)
            m_recorder->DocumentReplaced();
        UpdateAllViews(nullptr, -1);
    }
    return ok;
}

// ---------------------------------------------------------------------------
// Clipboard payload: n (uint32, little-endian), then n bytes of a project file
// holding the selected current objects and no original list.

QByteArray CVetraDoc::BuildClipboardPayload(const Selection &selection) const
{
    CRamStream stream;
    stream.Open(QStringLiteral("RAM:ClipRamStream"), SO_READ | SO_WRITE | SO_CREATE_ALWAYS);
    CQXArchive archive(stream.GetHandle(), CQXArchive::MODE_STORE);
    WriteProjectFile(m_originals, m_current, archive, &selection, m_version);
    archive.Flush();
    const std::uint32_t n = stream.GetLength();
    QByteArray block(qsizetype(n) + 4, '\0');
    qToLittleEndian(n, block.data());
    stream.SetPosition(0);
    if (stream.Read(block.data() + 4, int(n)) != int(n))
        throw StreamError(ERR_READ_FAULT, stream.GetName());
    return block;
}

bool CVetraDoc::CopyToClipboard(IProjectClipboard &clipboard, const Selection &selection) const
{
    try {
        return clipboard.SetProjectData(BuildClipboardPayload(selection));
    } catch (const StreamError &) {
        return false;
    }
}

bool CVetraDoc::CanPaste(const IProjectClipboard &clipboard) const
{
    const std::optional<QByteArray> block = clipboard.ProjectData();
    return block && block->size() >= 4 && qFromLittleEndian<std::uint32_t>(block->constData()) != 0;
}

bool CVetraDoc::pastePayload(const QByteArray &block)
{
    // Any program can place this format: check the block before reading it,
    // and read into temporary lists so that a damaged block changes nothing.
    if (block.size() < 4)
        return false;
    const std::uint32_t n = qFromLittleEndian<std::uint32_t>(block.constData());
    if (n > std::uint64_t(block.size() - 4))
        return false;
    CVetraData originals, current;
    try {
        CRamStream stream;
        stream.Open(QStringLiteral("RAM:ClipRamStream"), SO_READ | SO_WRITE | SO_CREATE_ALWAYS);
        stream.Write(block.constData() + 4, int(n));
        CQXArchive archive(stream.GetHandle(), CQXArchive::MODE_LOAD);
        ReadProjectFile(originals, current, archive);
    } catch (const StreamError &) {
        return false;
    }
    // The current list is sorted by the pasted objects' mode afterwards.
    joinLists(originals, current, true);
    return true;
}

bool CVetraDoc::PasteFromClipboard(const IProjectClipboard &clipboard)
{
    const std::optional<QByteArray> block = clipboard.ProjectData();
    if (!block)
        return true;
    CChangeScope change(*this, QString());
    const int before = m_current.GetCount();
    if (!pastePayload(*block)) {
        m_ui.ShowError(Res::LoadString(Res::IDS_PROJECT_READ_ERROR));
        return false;
    }
    change.SetText(Res::FormatCounted(Res::IDS_UNDO_PASTE_ONE, Res::IDS_UNDO_PASTE, m_current.GetCount() - before));
    renumber();
    m_modified = true;
    return true;
}
