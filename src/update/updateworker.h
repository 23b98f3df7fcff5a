#pragma once
// CUpdateWorker: the update wizard's network work on a thread of its own. A
// request returns at once; what it finds comes back as signals on the page's
// thread. Cancel sets the flag that libcurl's callbacks read, and no signal of
// a cancelled request arrives afterwards.

#include "data/version.h"
#include "update/server/updatecheck.h"

#include <QObject>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

class CAutoUpdate;
class CInstallerDownload;

class CUpdateWorker : public QObject
{
    Q_OBJECT
public:
    explicit CUpdateWorker(CAutoUpdate &wizard, QObject *parent = nullptr);
    ~CUpdateWorker() override;   // stops and ends the thread

    // Connects (again when the server no longer answers), lists the
    // program's folder and chooses the newest installer newer than `own`.
    void Search(const CVersion &own);
    // Connects and copies the installer into `download`, which must outlive
    // the request; `size` as the listing gave it.
    void Download(CInstallerDownload &download, std::uint64_t size);
    void Cancel();
    // Cancels and waits until the running request has returned (libcurl
    // ends it at its next block).
    void Stop();
    bool IsRunning() const { return m_running.load(); }

Q_SIGNALS:
    void Connected();
    void ConnectFailed(const QString &error);
    void Listed(bool ok, const QString &error, const SUpdateChoice &choice);
    // Sent only when the percentage or the amount text changes.
    void Received(quint64 bytes);
    // A CInstallerDownload::Result other than Cancelled.
    void DownloadEnded(int result);

private:
    // Runs `work` on the worker thread with the request's number.
    void run(std::function<void(std::uint64_t)> work);
    // `emit` on this object's thread, unless the request was cancelled by then.
    void deliver(std::uint64_t request, std::function<void()> emit);

    CAutoUpdate &m_wizard;
    QThread m_thread;
    QObject *m_context;   // lives on m_thread: the requests queue there
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_running{false};
    std::atomic<std::uint64_t> m_request{0};
    std::mutex m_lock;
    std::condition_variable m_idle;
};
