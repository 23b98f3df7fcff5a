#include "streamio/filestream.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace StreamIO {
namespace {

using Clock = std::chrono::steady_clock;

std::atomic<bool> g_unnamedRefused{false};

int openFlags(std::uint32_t flags)
{
    int f = O_CLOEXEC | O_NOCTTY;
    const bool r = flags & SO_READ, w = flags & SO_WRITE;
    f |= (r && w) ? O_RDWR : w ? O_WRONLY : O_RDONLY;
    switch (flags & SO_CREATE_MASK) {
    case SO_OPEN_ALWAYS:
    case SO_CREATE_ALWAYS: f |= O_CREAT; break;   // emptied only once the lock is held
    case SO_CREATE_NEW: f |= O_CREAT | O_EXCL; break;
    default: break;
    }
    return f;
}

// The advisory lock that stands for the sharing bits: a stream that lets
// others write, or only reads and lets others read, shares the file; any
// other holds it alone.
int lockFor(std::uint32_t flags)
{
    if (flags & SO_SHARE_WRITE)
        return LOCK_SH;
    const bool othersMayRead = flags & SO_SHARE_READ;
    return (othersMayRead && !(flags & SO_WRITE)) ? LOCK_SH : LOCK_EX;
}

int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(std::min<long long>(left, INT32_MAX)) : 0;
}

}   // namespace

CFileStream::~CFileStream()
{
    if (m_fd >= 0) {
        try {
            Close();
        } catch (const StreamError &) {
        }
    }
}

void CFileStream::RequireOpen()
{
    if (m_fd < 0)
        Raise(ERR_INVALID_HANDLE);
}

bool CFileStream::Open(const QString &name, std::uint32_t flags)
{
    if (IsOpen()) {
        SetError(ERR_NOT_SUPPORTED);
        return false;
    }
    SetNameAndFlags(name, flags);
    m_unnamed = false;
    const QByteArray path = QFile::encodeName(name);
    int fd;
    do {
        fd = ::open(path.constData(), openFlags(flags), 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        RaiseErrno(errno);

    struct stat st
    {
    };
    const bool device = ::fstat(fd, &st) == 0 && !S_ISREG(st.st_mode);
    if (::flock(fd, lockFor(flags) | LOCK_NB) != 0) {
        const int e = errno;
        ::close(fd);
        if (e == EWOULDBLOCK) {
            SetError(ERR_SHARING_VIOLATION);
            throw StreamError(ERR_SHARING_VIOLATION, name);
        }
        RaiseErrno(e);
    }
    if ((flags & SO_CREATE_MASK) == SO_CREATE_ALWAYS && !device && ::ftruncate(fd, 0) != 0) {
        const int e = errno;
        ::close(fd);
        RaiseErrno(e);
    }
    if (device) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);   // time-outs come from poll()
        m_cancel = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    }
    m_fd = fd;
    m_device = device;
    SetError(0);
    return true;
}

bool CFileStream::OpenUnnamed(const QString &folder, std::uint32_t flags)
{
    if (IsOpen()) {
        SetError(ERR_NOT_SUPPORTED);
        return false;
    }
    SetNameAndFlags(folder, flags);
    m_unnamed = true;
    if (!(flags & SO_WRITE))
        Raise(ERR_INVALID_PARAMETER);   // a file nobody can reach must be written to be of use
    if (g_unnamedRefused) {
        SetError(ERR_NOT_SUPPORTED);
        return false;
    }
    const QByteArray path = QFile::encodeName(folder);
    const int access = (flags & SO_READ) ? O_RDWR : O_WRONLY;
    int fd;
    do {
        fd = ::open(path.constData(), O_TMPFILE | O_CLOEXEC | access, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        // The file system has no unnamed files: EOPNOTSUPP, or EISDIR from a
        // kernel that reads O_TMPFILE as "open the folder for writing".
        if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) {
            SetError(ERR_NOT_SUPPORTED);
            return false;
        }
        RaiseErrno(errno);
    }
    // Nobody can reach it yet; the lock is for the time it has a name, so
    // that others see it in use.
    ::flock(fd, lockFor(flags) | LOCK_NB);
    m_fd = fd;
    m_device = false;
    SetError(0);
    return true;
}

void CFileStream::LinkAs(const QString &path)
{
    RequireOpen();
    if (!m_unnamed)
        Raise(ERR_NOT_SUPPORTED);
    const QByteArray target = QFile::encodeName(path);
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
    int r = ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, target.constData(), AT_SYMLINK_FOLLOW);
    if (r != 0 && errno == ENOENT)   // no /proc: link the descriptor itself (needs CAP_DAC_READ_SEARCH)
        r = ::linkat(m_fd, "", AT_FDCWD, target.constData(), AT_EMPTY_PATH);
    if (r != 0) {
        const int e = errno;
        SetError(CodeFromErrno(e));
        throw StreamError(CodeFromErrno(e), path, SystemErrorText(e));
    }
    SetNameAndFlags(path, GetFlags());
    m_unnamed = false;
    SetError(0);
}

void CFileStream::SetUnnamedFilesRefused(bool refused)
{
    g_unnamedRefused = refused;
}

bool CFileStream::Reopen()
{
    if (m_unnamed) {
        SetError(ERR_NOT_SUPPORTED);   // the file went with its descriptor
        return false;
    }
    return ReopenByName(*this);
}

void CFileStream::Close()
{
    if (m_fd < 0)
        return;
    if (GetFlags() & SO_WRITE) {
        try {
            Flush();
        } catch (const StreamError &) {
        }
    }
    const int fd = m_fd;
    m_fd = -1;
    m_device = false;
    if (const int cancel = m_cancel.exchange(-1); cancel >= 0)
        ::close(cancel);
    if (::close(fd) != 0 && errno != EINTR)
        RaiseErrno(errno);
}

void CFileStream::Flush()
{
    RequireOpen();
    if (!(GetFlags() & SO_WRITE))
        return;
    if (m_device) {
        // Wait until the output has left the device; not every device can.
        if (::isatty(m_fd) && ::tcdrain(m_fd) != 0 && errno != EINTR)
            RaiseErrno(errno);
        return;
    }
    if (::fdatasync(m_fd) != 0 && errno != EINVAL && errno != EROFS)
        RaiseErrno(errno);
}

bool CFileStream::GetTimeouts(int &readMs, int &writeMs)
{
    RequireOpen();
    if (!m_device) {
        SetError(ERR_NOT_SUPPORTED);
        return false;
    }
    readMs = m_readConstant ? m_readConstant : -1;
    writeMs = (m_writeConstant || m_writeMultiplier) ? m_writeConstant : -1;
    return true;
}

bool CFileStream::SetTimeouts(int readMs, int writeMs)
{
    RequireOpen();
    if (!m_device) {
        SetError(ERR_NOT_SUPPORTED);
        return false;
    }
    m_readConstant = readMs < 0 ? 0 : readMs;
    if (writeMs < 0) {
        m_writeMultiplier = 0;
        m_writeConstant = 0;
    } else {
        m_writeMultiplier = 50;
        m_writeConstant = writeMs;
    }
    return true;
}

bool CFileStream::CancelTransfer()
{
    RequireOpen();
    if (!m_device || !::isatty(m_fd)) {
        SetError(ERR_NOT_SUPPORTED);
        return false;
    }
    if (::tcflush(m_fd, TCIOFLUSH) != 0)
        RaiseErrno(errno);
    return true;
}

void CFileStream::Interrupt()
{
    const int cancel = m_cancel.load();
    if (cancel >= 0) {
        const std::uint64_t one = 1;
        (void)!::write(cancel, &one, sizeof one);
    }
}

int CFileStream::waitFor(short events, int timeoutMs)
{
    pollfd p[2] = {{m_fd, events, 0}, {m_cancel.load(), POLLIN, 0}};
    int r;
    do {
        r = ::poll(p, p[1].fd >= 0 ? 2 : 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    if (r < 0)
        RaiseErrno(errno);
    if (r > 0 && p[1].fd >= 0 && (p[1].revents & POLLIN))
        Raise(ERR_OPERATION_ABORTED);
    return r;
}

int CFileStream::Read(void *buffer, int count)
{
    RequireOpen();
    CheckRead(count);
    auto *out = static_cast<char *>(buffer);
    int got = 0;
    bool timedOut = false;
    const bool timed = m_device && m_readConstant > 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(m_readConstant);
    while (got < count) {
        if (m_device) {
            const int wait = timed ? remainingMs(deadline) : -1;
            if (waitFor(POLLIN, wait) == 0) {
                timedOut = true;
                break;
            }
        }
        const ssize_t n = ::read(m_fd, out + got, std::size_t(count - got));
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            RaiseErrno(errno);
        }
        if (n == 0)
            break;   // end of the file, or the other side closed the link
        got += int(n);
    }
    if (got == 0 && count > 0)
        SetError(timedOut ? ERR_TIMEOUT : ERR_HANDLE_EOF);
    else
        SetError(0);
    return got;
}

int CFileStream::Write(const void *buffer, int count)
{
    RequireOpen();
    CheckWrite(count);
    const auto *in = static_cast<const char *>(buffer);
    int put = 0;
    const bool timed = m_device && (m_writeConstant || m_writeMultiplier);
    const auto deadline = Clock::now()
                          + std::chrono::milliseconds(std::int64_t(m_writeMultiplier) * count + m_writeConstant);
    while (put < count) {
        if (m_device && waitFor(POLLOUT, timed ? remainingMs(deadline) : -1) == 0)
            break;
        const ssize_t n = ::write(m_fd, in + put, std::size_t(count - put));
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            RaiseErrno(errno);
        }
        put += int(n);
    }
    SetError(put == 0 && count > 0 ? ERR_TIMEOUT : 0);
    return put;
}

std::uint32_t CFileStream::GetLength()
{
    RequireOpen();
    struct stat st
    {
    };
    if (::fstat(m_fd, &st) != 0)
        RaiseErrno(errno);
    return std::uint32_t(std::min<off_t>(st.st_size, 0xFFFFFFFF));
}

std::uint32_t CFileStream::GetPosition()
{
    RequireOpen();
    const off_t pos = ::lseek(m_fd, 0, SEEK_CUR);
    if (pos < 0)
        RaiseErrno(errno);
    return std::uint32_t(pos);
}

std::uint32_t CFileStream::Seek(int offset, int origin)
{
    RequireOpen();
    int whence;
    switch (origin) {
    case SEEK_FROM_CURRENT: whence = SEEK_CUR; break;
    case SEEK_FROM_BEGIN: whence = SEEK_SET; break;
    case SEEK_FROM_END: whence = SEEK_END; break;
    default: Raise(ERR_SEEK);
    }
    const off_t pos = ::lseek(m_fd, offset, whence);
    if (pos < 0)
        errno == EINVAL ? Raise(ERR_NEGATIVE_SEEK) : RaiseErrno(errno);
    return std::uint32_t(pos);
}

std::uint32_t CFileStream::SetPosition(std::uint32_t pos)
{
    RequireOpen();
    if (::lseek(m_fd, off_t(pos), SEEK_SET) < 0)
        RaiseErrno(errno);
    return pos;
}

void CFileStream::Truncate()
{
    RequireOpen();
    if (!(GetFlags() & SO_WRITE))
        Raise(ERR_WRITE_FAULT);
    const off_t pos = ::lseek(m_fd, 0, SEEK_CUR);
    if (pos < 0 || ::ftruncate(m_fd, pos) != 0)
        RaiseErrno(errno);
}

}   // namespace StreamIO
