#include "streamio/ramdisk.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace StreamIO {
namespace {
std::unique_ptr<CRamDisk> g_disk;

std::uint64_t roundUp(std::uint64_t v, std::uint64_t step)
{
    return (v + step - 1) / step * step;
}
}   // namespace

// ---------------------------------------------------------------------------
// CRamFile

void CRamFile::raise(std::uint32_t code) const
{
    throw StreamError(code, m_name);
}

std::uint32_t CRamFile::lengthLocked() const
{
    if (!IsFifo())
        return m_end;
    return m_end >= m_start ? m_end - m_start : m_end + m_capacity - m_start;
}

std::uint32_t CRamFile::GetLength()
{
    std::lock_guard guard(m_lock);
    return lengthLocked();
}

std::uint32_t CRamFile::Capacity()
{
    std::lock_guard guard(m_lock);
    return m_capacity;
}

void CRamFile::reserveLocked(std::uint64_t size)
{
    if (size <= m_capacity)
        return;
    if (size > 0xFFFFFFFFu)
        raise(ERR_OUTOFMEMORY);
    // Grow in steps of 512, at least doubling, so that filling a file byte
    // by byte stays linear.
    const std::uint64_t wanted = std::max(roundUp(size, kGrowth), roundUp(std::uint64_t(m_capacity) * 2, kGrowth));
    const std::uint32_t capacity = std::uint32_t(std::min<std::uint64_t>(wanted, 0xFFFFFFFFu));
    const std::uint32_t length = lengthLocked();
    if (m_start == 0) {
        // Unwrapped data at the front: realloc may move the pages instead of the bytes.
        auto *grown = static_cast<std::uint8_t *>(std::realloc(m_buffer.get(), capacity));
        if (!grown)
            raise(ERR_OUTOFMEMORY);
        (void)m_buffer.release();
        m_buffer.reset(grown);
        m_capacity = capacity;
        m_end = length;
        return;
    }
    std::unique_ptr<std::uint8_t[], Free> buffer(static_cast<std::uint8_t *>(std::malloc(capacity)));
    if (!buffer)
        raise(ERR_OUTOFMEMORY);
    if (m_end < m_start) {
        const std::uint32_t head = m_capacity - m_start;
        std::memcpy(buffer.get(), m_buffer.get() + m_start, head);
        std::memcpy(buffer.get() + head, m_buffer.get(), m_end);
    } else {
        std::memcpy(buffer.get(), m_buffer.get() + m_start, length);
    }
    m_buffer = std::move(buffer);
    m_capacity = capacity;
    m_start = 0;
    m_end = length;
}

std::uint32_t CRamFile::ReadAt(std::uint32_t &pos, void *buffer, std::uint32_t count)
{
    if (count == 0)
        return 0;
    if (IsFifo())
        pos = 0;
    std::lock_guard guard(m_lock);
    const std::uint32_t length = lengthLocked();
    if (pos >= length)
        return 0;
    const std::uint32_t n = std::min(count, length - pos);
    auto *out = static_cast<std::uint8_t *>(buffer);
    if (IsFifo()) {
        const std::uint32_t first = std::min(n, m_capacity - m_start);
        std::memcpy(out, m_buffer.get() + m_start, first);
        std::memcpy(out + first, m_buffer.get(), n - first);
        m_start = (m_start + n) % m_capacity;
    } else {
        std::memcpy(out, m_buffer.get() + pos, n);
        pos += n;
    }
    return n;
}

std::uint32_t CRamFile::WriteAt(std::uint32_t &pos, const void *data, std::uint32_t count)
{
    if (count == 0)
        return 0;
    const auto *in = static_cast<const std::uint8_t *>(data);
    std::lock_guard guard(m_lock);
    if (IsFifo()) {
        pos = 0;
        // One spare byte keeps a full buffer apart from an empty one.
        reserveLocked(std::uint64_t(lengthLocked()) + count + 1);
        const std::uint32_t first = std::min(count, m_capacity - m_end);
        std::memcpy(m_buffer.get() + m_end, in, first);
        std::memcpy(m_buffer.get(), in + first, count - first);
        m_end = std::uint32_t((std::uint64_t(m_end) + count) % m_capacity);
        return count;
    }
    const std::uint64_t stop = std::uint64_t(pos) + count;
    if (stop > 0xFFFFFFFFu)
        raise(ERR_OUTOFMEMORY);
    reserveLocked(stop);
    if (pos > m_end)
        std::memset(m_buffer.get() + m_end, 0, pos - m_end);   // no stale bytes in a gap
    std::memcpy(m_buffer.get() + pos, in, count);
    pos = std::uint32_t(stop);
    m_end = std::max(m_end, pos);
    return count;
}

bool CRamFile::SeekIn(std::uint32_t &pos, int offset, int origin)
{
    if (IsFifo()) {
        pos = 0;
        return false;
    }
    std::int64_t target;
    const std::uint32_t length = GetLength();
    switch (origin) {
    case SEEK_FROM_CURRENT: target = std::int64_t(pos) + offset; break;
    case SEEK_FROM_BEGIN: target = offset; break;
    case SEEK_FROM_END: target = std::int64_t(length) + offset; break;
    default: return false;
    }
    if (target < 0)
        raise(ERR_NEGATIVE_SEEK);
    if (target > length)
        return false;
    pos = std::uint32_t(target);
    return true;
}

void CRamFile::SetEnd(std::uint32_t pos)
{
    std::lock_guard guard(m_lock);
    if (pos == 0) {
        m_buffer.reset();
        m_capacity = m_start = m_end = 0;
        return;
    }
    if (IsFifo())
        return;
    reserveLocked(pos);
    if (pos > m_end)
        std::memset(m_buffer.get() + m_end, 0, pos - m_end);
    m_end = pos;
}

// ---------------------------------------------------------------------------
// CRamDisk

CRamDisk::CRamDisk(QString name) : m_name(std::move(name))
{
    if (m_name.isEmpty() || !m_name.endsWith(u':') || m_name.count(u':') != 1)
        throw StreamError(ERR_INVALID_NAME, m_name);
}

CRamDisk::~CRamDisk()
{
    qDeleteAll(m_files);
}

int CRamDisk::FileCount()
{
    std::lock_guard guard(m_lock);
    return int(m_files.size());
}

CRamFile *CRamDisk::OpenFile(const QString &fullName, std::uint32_t flags)
{
    QString name = fullName;
    if (name.startsWith(m_name, Qt::CaseInsensitive))
        name.remove(0, m_name.size());
    if (name.contains(u':'))
        throw StreamError(ERR_INVALID_NAME, fullName);

    std::lock_guard guard(m_lock);
    const std::uint32_t create = flags & SO_CREATE_MASK;
    CRamFile *file = m_files.value(name);
    if (file) {
        const std::uint32_t share = file->m_flags & (SO_SHARE_READ | SO_SHARE_WRITE);
        if (create == SO_CREATE_NEW)
            throw StreamError(ERR_FILE_EXISTS, fullName);
        if (create == SO_CREATE_ALWAYS) {
            if (!(share & SO_SHARE_WRITE))
                throw StreamError(ERR_SHARING_VIOLATION, fullName);
            if (file->IsFifo())
                throw StreamError(ERR_OPEN_FAILED, fullName);
        }
        if (!file->IsFifo() || share) {
            if (((flags & SO_READ) && !(share & SO_SHARE_READ)) || ((flags & SO_WRITE) && !(share & SO_SHARE_WRITE)))
                throw StreamError(ERR_SHARING_VIOLATION, fullName);
            if (create == SO_CREATE_ALWAYS)
                file->SetEnd(0);
        } else {
            const std::uint32_t marks = file->m_flags;
            if (((flags & SO_READ) && (marks & CRamFile::kReaderAttached))
                || ((flags & SO_WRITE) && (marks & CRamFile::kWriterAttached)))
                throw StreamError(ERR_SHARING_VIOLATION, fullName);
        }
    } else {
        if (create == 0)
            throw StreamError(ERR_FILE_NOT_FOUND, fullName);
        file = new (std::nothrow) CRamFile(m_name + name, flags & (SO_SHARE_READ | SO_SHARE_WRITE | SO_FIFO));
        if (!file)
            throw StreamError(ERR_OUTOFMEMORY, fullName);
        m_files.insert(name, file);
    }
    ++file->m_openCount;
    if (file->IsFifo() && !file->sharedFifo()) {
        if (flags & SO_READ)
            file->m_flags |= CRamFile::kReaderAttached;
        if (flags & SO_WRITE)
            file->m_flags |= CRamFile::kWriterAttached;
    }
    return file;
}

void CRamDisk::CloseFile(CRamFile *file, std::uint32_t flags)
{
    if (!file)
        return;
    std::lock_guard guard(m_lock);
    if (--file->m_openCount > 0) {
        if (file->IsFifo() && !file->sharedFifo()) {
            if (flags & SO_READ)
                file->m_flags &= ~CRamFile::kReaderAttached;
            if (flags & SO_WRITE)
                file->m_flags &= ~CRamFile::kWriterAttached;
        }
        return;
    }
    for (auto it = m_files.begin(); it != m_files.end(); ++it) {
        if (it.value() == file) {
            m_files.erase(it);
            break;
        }
    }
    delete file;
}

CRamDisk *RamDisk()
{
    return g_disk.get();
}

void CreateRamDisk()
{
    if (!g_disk)
        g_disk = std::make_unique<CRamDisk>(QStringLiteral("RAM:"));
}

void DestroyRamDisk()
{
    g_disk.reset();
}

}   // namespace StreamIO
