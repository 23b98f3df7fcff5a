#pragma once
// CInstallerDownload: copies the chosen installer from the update server
// into a local file. It writes "<file>.part" and gives the file its name only
// when exactly the listed size arrived, so a broken or cancelled transfer
// never leaves something that looks like an installer.

#include "update/server/updateserver.h"

#include <QFile>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>

// An amount as the progress lines show it: megabytes with two decimals.
QString MegabytesText(std::uint64_t bytes);

class CInstallerDownload
{
public:
    enum class Result { Done, Cancelled, Failed };

    CInstallerDownload(QString localPath, SServerFile file);
    ~CInstallerDownload();   // a transfer that did not finish leaves no file

    // Steps of the transfer: one per chunk of size / 10000 bytes (at least 1).
    static std::uint64_t ChunkSize(std::int64_t size);

    // Creates the partial file; false with the reason when the folder cannot
    // be written.
    bool Create(QString *reason);
    // On any thread. `onStep` is called after each chunk with the bytes
    // received so far. `cancel` set: the transfer ends at once.
    Result Run(UpdateServer &server, const std::atomic<bool> &cancel,
               const std::function<void(std::uint64_t received)> &onStep);

    QString PartPath() const { return m_localPath + QStringLiteral(".part"); }
    // Why Run failed (for the log or the tool; the window shows a fixed text).
    const QString &Detail() const { return m_detail; }
    std::uint64_t Received() const { return m_received; }
    std::uint64_t Steps() const { return m_steps; }

private:
    Result failed(const QString &detail);

    QString m_localPath;
    SServerFile m_file;
    QFile m_part;
    std::uint64_t m_received = 0;
    std::uint64_t m_steps = 0;
    QString m_detail;
};
