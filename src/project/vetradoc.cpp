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
    const std::vector<IDocumentView *> views = m_views;   // a view may unregister meanwhile
    for (IDocumentView *v : views)
        if (v != sender)
            v->OnDocumentUpdate(index);
}

bool CVetraDoc::AddObjects(const QList<TVetraObject> &incoming, bool add, bool synchronize)
{
    CChangeScope change(*this, QString());
    QList<TVetraObject> objects = incoming;
    if (synchronize) {
        SOverlap overlap;
        {
            CVetraData latest;
            latest.CopyFrom(m_current);
            latest.Sort(3);   // by time stamp, then number: the instrument's order
            CVetraData arriving;
            arriving.AddTransferObjects(incoming, false);
            overlap = latest.FindOverlap(arriving);
        }
        if (overlap.start >= 0) {
            const int m = int(incoming.size());
            switch (m_ui.AskSynchronize(m, m - overlap.count)) {
            case IDocumentUi::SyncAnswer::Cancel:
                return false;
            case IDocumentUi::SyncAnswer::AddNewOnly:
                objects.remove(0, overlap.count);
                break;
            case IDocumentUi::SyncAnswer::AddAll:
                break;
            }
        }
    }
    change.SetText(Res::FormatString(Res::IDS_UNDO_ADD, {int(objects.size())}));
    m_originals.AddTransferObjects(objects, add);
    m_current.AddTransferObjects(objects, add);
    m_current.Sort(m_current.GetSortMode());
    m_modified = true;
    UpdateAllViews(nullptr, -1);
    return true;
}

void CVetraDoc::RestoreOriginals()
{
    const CChangeScope change(*this, Res::LoadString(Res::IDS_UNDO_RESTORE));
    m_current.CopyFrom(m_originals);
    m_modified = true;
    UpdateAllViews(nullptr, -1);
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
        case IDocumentUi::SaveAnswer::Cancel:
            return false;
        case IDocumentUi::SaveAnswer::Yes:
            if (!Save())
                return false;
            break;
        case IDocumentUi::SaveAnswer::No:
            break;
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
                           + QStringLiteral("%1").arg(QRandomGenerator::global()->generate(), kTempDigits, 16, QChar(u'0'));
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

} // namespace

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
        temp = underFreshName(target, [&](const QString &name) { file.Open(name, SO_READ | SO_WRITE | SO_CREATE_NEW); });
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
    try {
        CQXArchive archive(path, CQXArchive::MODE_LOAD, CQXArchive::kFileBufferSize);
        ReadProjectFile(m_originals, m_current, archive);
    } catch (const StreamError &e) {
        ok = false;
        reason = e.message();
    }
    // Adding to objects the project held changes its content, and edits made
    // before stay unsaved: keep it marked so that closing asks first.
    if (add && hadObjects && (wasModified || m_current.GetCount() + m_originals.GetCount() != before))
        m_modified = true;
    if (ok && !add)
        m_path = QFileInfo(path).absoluteFilePath();
    // The second line says why: the file is missing or locked, or what in it
    // could not be read.
    if (!ok)
        m_ui.ShowError(Res::LoadString(Res::IDS_PROJECT_READ_ERROR) + u'\n' + reason);
    if (change)
        change->SetText(Res::FormatString(Res::IDS_UNDO_ADD, {m_current.GetCount() + m_originals.GetCount() - before}));
    else if (m_recorder)
        m_recorder->DocumentReplaced();
    UpdateAllViews(nullptr, -1);
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
    m_originals.TakeFrom(originals, m_originals.GetCount() > 0);
    m_current.TakeFrom(current, m_current.GetCount() > 0);
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
    m_current.Sort(m_current.GetSortMode());
    change.SetText(Res::FormatString(Res::IDS_UNDO_PASTE, {m_current.GetCount() - before}));
    m_modified = true;
    UpdateAllViews(nullptr, -1);
    return true;
}

SDocState CVetraDoc::CaptureState(const SDocState *previous) const
{
    SDocState state;
    state.current = m_current.Capture(previous ? &previous->current : nullptr);
    state.originals = m_originals.Capture(previous ? &previous->originals : nullptr);
    state.currentSort = m_current.GetSortMode();
    state.originalsSort = m_originals.GetSortMode();
    return state;
}

void CVetraDoc::RestoreState(const SDocState &state)
{
    m_current.Restore(state.current, state.currentSort);
    m_originals.Restore(state.originals, state.originalsSort);
    UpdateAllViews(nullptr, -1);
}
