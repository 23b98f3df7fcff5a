#include "update/server/installerdownload.h"

#include "res/resources.h"

#include <QByteArray>

#include <algorithm>

QString MegabytesText(std::uint64_t bytes)
{
    return Res::Format(u"%0.2f", {double(bytes) / 1048576.0});
}

CInstallerDownload::CInstallerDownload(QString localPath, SServerFile file)
    : m_localPath(std::move(localPath)), m_file(std::move(file))
{
}

CInstallerDownload::~CInstallerDownload()
{
    if (m_part.isOpen()) {
        m_part.close();
        m_part.remove();
    }
}

std::uint64_t CInstallerDownload::ChunkSize(std::int64_t size)
{
    // A file below 10000 bytes would get chunks of 0 and never progress.
    return std::max<std::uint64_t>(1, std::uint64_t(std::max<std::int64_t>(size, 0)) / 10000);
}

bool CInstallerDownload::Create(QString *reason)
{
    m_part.setFileName(PartPath());
    if (m_part.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return true;
    if (reason)
        *reason = m_part.errorString();
    return false;
}

CInstallerDownload::Result CInstallerDownload::failed(const QString &detail)
{
    m_detail = detail;
    m_part.close();
    m_part.remove();
    return Result::Failed;
}

CInstallerDownload::Result CInstallerDownload::Run(UpdateServer &server, const std::atomic<bool> &cancel,
                                                   const std::function<void(std::uint64_t)> &onStep)
{
    if (!m_part.isOpen())
        return failed(m_part.errorString());
    if (m_file.size <= 0)
        return failed(QStringLiteral("the server lists the installer with no size"));
    const std::uint64_t size = std::uint64_t(m_file.size);
    const std::uint64_t chunk = ChunkSize(m_file.size);
    m_received = 0;
    m_steps = 0;
    QByteArray pending;
    pending.reserve(qsizetype(chunk));
    bool overrun = false;
    bool writeFailed = false;

    // Whatever blocks the server sends, the file grows chunk by chunk.
    auto step = [&]() -> bool {
        if (m_part.write(pending) != pending.size()) {
            writeFailed = true;
            return false;
        }
        m_received += std::uint64_t(pending.size());
        ++m_steps;
        pending.clear();
        if (onStep)
            onStep(m_received);
        return true;
    };
    auto sink = [&](const char *data, std::size_t n) -> bool {
        if (cancel.load())
            return false;
        if (m_received + std::uint64_t(pending.size()) + n > size) {
            overrun = true;   // more than listed: not the file the listing promised
            return false;
        }
        while (n > 0) {
            const std::size_t take = std::min<std::size_t>(n, std::size_t(chunk) - std::size_t(pending.size()));
            pending.append(data, qsizetype(take));
            data += take;
            n -= take;
            if (std::uint64_t(pending.size()) == chunk && !step())
                return false;
        }
        return true;
    };

    server.SetCancelFlag(&cancel);
    const bool read = server.ReadFile(m_file.name, sink);
    server.SetCancelFlag(nullptr);
    if (cancel.load()) {
        failed(QString());
        return Result::Cancelled;
    }
    if (overrun)
        return failed(QStringLiteral("the server sent more than the listed %1 bytes").arg(size));
    if (writeFailed)
        return failed(m_part.errorString());
    if (!read)
        return failed(server.GetLastError());
    if (!pending.isEmpty() && !step())
        return failed(m_part.errorString());
    if (m_received != size)
        return failed(QStringLiteral("the server sent %1 of the listed %2 bytes").arg(m_received).arg(size));
    if (!m_part.flush())
        return failed(m_part.errorString());
    m_part.close();
    QFile::remove(m_localPath);
    if (!QFile::rename(PartPath(), m_localPath)) {
        QFile::remove(PartPath());
        m_detail = QStringLiteral("the file cannot be renamed to %1").arg(m_localPath);
        return Result::Failed;
    }
    return Result::Done;
}
