#include "project/vetradoc.h"

#include "res/resources.h"
#include "streamio/archive.h"
#include "streamio/filestream.h"
#include "streamio/ramstream.h"

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
    m_originals.AddTransferObjects(objects, add);
    m_current.AddTransferObjects(objects, add);
    m_current.Sort(m_current.GetSortMode());
    m_modified = true;
    UpdateAllViews(nullptr, -1);
    return true;
}

void CVetraDoc::RestoreOriginals()
{
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

} // namespace

void CVetraDoc::writeTo(const QString &path)
{
    const QString target = saveTarget(path);
    CFileStream file;
    QString temp;
    for (int attempt = 0; !file.IsOpen(); ++attempt) {
        temp = target + QStringLiteral(".~%1").arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
        try {
            file.Open(temp, SO_READ | SO_WRITE | SO_CREATE_NEW);
        } catch (const StreamError &e) {
            if (e.code() != ERR_FILE_EXISTS || attempt >= 16)
                throw;
        }
    }
    try {
        CQXArchive archive(file.GetHandle(), CQXArchive::MODE_STORE, CQXArchive::kFileBufferSize);
        WriteProjectFile(m_originals, m_current, archive, nullptr, m_version);
        archive.Flush();
        file.Flush();   // the bytes are on the disk before the old file goes
        archive.Close();
        if (QFileInfo::exists(target))
            QFile::setPermissions(temp, QFile::permissions(target));
        if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) != 0)
            throw StreamError(CodeFromErrno(errno), target, SystemErrorText(errno));
    } catch (...) {
        file.Abort();
        ::unlink(QFile::encodeName(temp).constData());
        throw;
    }
    syncFolder(target);
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
    const bool hadObjects = HasObjects();
    const bool wasModified = m_modified;
    const int before = m_current.GetCount() + m_originals.GetCount();
    m_modified = false;
    bool ok = true;
    try {
        CQXArchive archive(path, CQXArchive::MODE_LOAD, CQXArchive::kFileBufferSize);
        ReadProjectFile(m_originals, m_current, archive);
    } catch (const StreamError &) {
        ok = false;
    }
    // Adding to objects the project held changes its content, and edits made
    // before stay unsaved: keep it marked so that closing asks first.
    if (add && hadObjects && (wasModified || m_current.GetCount() + m_originals.GetCount() != before))
        m_modified = true;
    if (ok && !add)
        m_path = QFileInfo(path).absoluteFilePath();
    if (!ok)
        m_ui.ShowError(Res::LoadString(Res::IDS_PROJECT_READ_ERROR));
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
    if (!pastePayload(*block)) {
        m_ui.ShowError(Res::LoadString(Res::IDS_PROJECT_READ_ERROR));
        return false;
    }
    m_current.Sort(m_current.GetSortMode());
    m_modified = true;
    UpdateAllViews(nullptr, -1);
    return true;
}
