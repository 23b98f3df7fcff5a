#include "streamio/usbhoststream.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace StreamIO {
namespace {

using Clock = std::chrono::steady_clock;

std::mutex g_lock;
QString g_classFolder;

const QString kInputPipe = QStringLiteral("PIPE00");
const QString kOutputPipe = QStringLiteral("PIPE01");

int openNode(const QString &path, int flags)
{
    const QByteArray p = QFile::encodeName(path);
    int fd;
    do {
        fd = ::open(p.constData(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

}   // namespace

void SetUsbClassFolder(const QString &folder)
{
    std::lock_guard guard(g_lock);
    g_classFolder = folder;
}

QString UsbClassFolder()
{
    {
        std::lock_guard guard(g_lock);
        if (!g_classFolder.isEmpty())
            return g_classFolder;
    }
    const QString fromEnv = qEnvironmentVariable("VETRADESK_USB_CLASS");
    return fromEnv.isEmpty() ? QStringLiteral("/dev/qxusb") : fromEnv;
}

std::uint32_t EnumerateUsbDevices(QStringList &devices)
{
    devices.clear();
    const QDir folder(UsbClassFolder());
    if (!folder.exists())
        return 0;
    const QFileInfo info(folder.absolutePath());
    if (!info.isReadable())
        return ERR_ACCESS_DENIED;
    for (const QString &name : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString device = folder.filePath(name);
        if (QFileInfo::exists(device + u'/' + kInputPipe) && QFileInfo::exists(device + u'/' + kOutputPipe))
            devices.append(device);
    }
    return 0;
}

CUsbHostStream::~CUsbHostStream()
{
    std::uint32_t ignored = 0;
    closeAll(ignored);
}

bool CUsbHostStream::Open(const QString &devicePath, std::uint32_t flags)
{
    if (IsOpen()) {
        SetError(ERR_NOT_SUPPORTED);
        return false;
    }
    SetNameAndFlags(devicePath, flags);
    m_device = openNode(devicePath, O_RDONLY | O_DIRECTORY);
    if (m_device < 0)
        RaiseErrno(errno);
    try {
        OpenPipes(flags);
    } catch (...) {
        std::uint32_t ignored = 0;
        closeAll(ignored);
        throw;
    }
    m_cancelled = false;
    SetError(0);
    return true;
}

void CUsbHostStream::OpenPipes(std::uint32_t flags)
{
    // Each pipe belongs to one stream at a time.
    auto openPipe = [&](const QString &name, int access) {
        // A FIFO opened for reading and writing never waits for the other side.
        const int fd = openNode(GetName() + u'/' + name, access);
        if (fd < 0)
            RaiseErrno(errno);
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            Raise(ERR_SHARING_VIOLATION);
        }
        return fd;
    };
    if (flags & SO_READ)
        m_input = openPipe(kInputPipe, O_RDONLY);
    if (flags & SO_WRITE)
        m_output = openPipe(kOutputPipe, O_RDWR);
}

void CUsbHostStream::closeAll(std::uint32_t &firstError)
{
    for (int *fd : {&m_output, &m_input, &m_device}) {
        if (*fd >= 0 && ::close(*fd) != 0 && !firstError)
            firstError = CodeFromErrno(errno);
        *fd = -1;
    }
}

void CUsbHostStream::Close()
{
    std::uint32_t error = 0;
    closeAll(error);
    if (error)
        Raise(error);
    SetError(0);
}

void CUsbHostStream::Flush()
{
    // Pipe writes leave nothing buffered on this side.
}

bool CUsbHostStream::GetTimeouts(int &readMs, int &writeMs)
{
    readMs = m_readTimeout;
    writeMs = m_writeTimeout;
    return true;
}

bool CUsbHostStream::SetTimeouts(int readMs, int writeMs)
{
    m_readTimeout = readMs < 0 ? -1 : readMs;
    m_writeTimeout = writeMs < 0 ? -1 : writeMs;
    return true;
}

bool CUsbHostStream::CancelTransfer()
{
    m_cancelled = true;   // a request in progress ends at its next wait
    return true;
}

int CUsbHostStream::request(int fd, short events, char *data, int count, int timeoutMs, bool &timedOut)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    int done = 0;
    timedOut = false;
    while (done < count && !m_cancelled) {
        int wait = -1;
        if (timeoutMs >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) {
                timedOut = true;
                break;
            }
            wait = int(std::min<long long>(left, 100));   // short slices: a cancel is seen soon
        } else {
            wait = 100;
        }
        pollfd p{fd, events, 0};
        const int r = ::poll(&p, 1, wait);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            RaiseErrno(errno);
        if (r == 0)
            continue;
        const ssize_t n = events == POLLIN ? ::read(fd, data + done, std::size_t(count - done))
                                           : ::write(fd, data + done, std::size_t(count - done));
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR)
                continue;
            RaiseErrno(errno);
        }
        if (n == 0)
            break;   // the other side closed its end
        done += int(n);
    }
    return done;
}

int CUsbHostStream::Read(void *buffer, int count)
{
    CheckRead(count, m_input >= 0);
    auto *out = static_cast<char *>(buffer);
    const auto start = Clock::now();
    int have = 0;
    SetError(0);
    while (have < count) {
        bool timedOut = false;
        const int got = request(m_input, POLLIN, out + have, count - have, m_readTimeout, timedOut);
        have += got;
        if (got == 0) {
            SetError(ERR_HANDLE_EOF);
            break;
        }
        if (have >= count)
            break;
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        if (timedOut || (m_readTimeout >= 0 && elapsed >= m_readTimeout)) {
            SetError(ERR_TIMEOUT);
            break;
        }
    }
    return have;
}

int CUsbHostStream::Write(const void *buffer, int count)
{
    CheckWrite(count, m_output >= 0);
    bool timedOut = false;
    const int sent = request(m_output, POLLOUT, const_cast<char *>(static_cast<const char *>(buffer)), count,
                             m_writeTimeout, timedOut);
    SetError(sent == 0 && count > 0 ? ERR_TIMEOUT : (sent < count ? ERR_TIMEOUT : 0));
    return sent;
}

}   // namespace StreamIO
