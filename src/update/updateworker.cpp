#include "update/updateworker.h"

#include "res/resources.h"
#include "update/autoupdate.h"
#include "update/server/installerdownload.h"

CUpdateWorker::CUpdateWorker(CAutoUpdate &wizard, QObject *parent)
    : QObject(parent), m_wizard(wizard), m_context(new QObject)
{
    m_thread.setObjectName(QStringLiteral("update"));
    m_context->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
    m_thread.start();
}

CUpdateWorker::~CUpdateWorker()
{
    Stop();
    m_thread.quit();
    m_thread.wait();
}

void CUpdateWorker::run(std::function<void(std::uint64_t)> work)
{
    Stop();   // one request at a time
    m_cancel = false;
    m_running = true;
    const std::uint64_t request = ++m_request;
    QMetaObject::invokeMethod(
        m_context,
        [this, request, work = std::move(work)] {
            work(request);
            std::lock_guard guard(m_lock);
            m_running = false;
            m_idle.notify_all();
        },
        Qt::QueuedConnection);
}

void CUpdateWorker::deliver(std::uint64_t request, std::function<void()> emit)
{
    QMetaObject::invokeMethod(
        this,
        [this, request, emit = std::move(emit)] {
            if (request == m_request.load() && !m_cancel.load())
                emit();
        },
        Qt::QueuedConnection);
}

void CUpdateWorker::Search(const CVersion &own)
{
    run([this, own](std::uint64_t request) {
        UpdateServer &server = m_wizard.Server();
        server.SetCancelFlag(&m_cancel);
        QString error;
        if (!m_wizard.EnsureConnected(&error)) {
            server.SetCancelFlag(nullptr);
            deliver(request, [this, error] { Q_EMIT ConnectFailed(error); });
            return;
        }
        deliver(request, [this] { Q_EMIT Connected(); });
        SUpdateChoice choice;
        const bool listed = ListAndChoose(server, own, choice);
        const QString listError = server.GetLastError();
        server.SetCancelFlag(nullptr);
        deliver(request, [this, listed, listError, choice] { Q_EMIT Listed(listed, listError, choice); });
    });
}

void CUpdateWorker::Download(CInstallerDownload &download, std::uint64_t size)
{
    run([this, &download, size](std::uint64_t request) {
        QString error;
        if (!m_wizard.EnsureConnected(&error)) {
            deliver(request, [this, error] { Q_EMIT ConnectFailed(error); });
            return;
        }
        // Only what the page shows is sent over: a new percentage or a new
        // amount text, not each of the 10000 steps.
        int lastPercent = -1;
        QString lastText;
        const auto onStep = [&](std::uint64_t received) {
            const int percent = size ? int(received * 100 / size) : 0;
            QString text = Res::FormatString(Res::IDS_UPDATE_AMOUNT, {MegabytesText(received)});
            if (percent == lastPercent && text == lastText)
                return;
            lastPercent = percent;
            lastText = std::move(text);
            deliver(request, [this, received] { Q_EMIT Received(received); });
        };
        const auto result = download.Run(m_wizard.Server(), m_cancel, onStep);
        m_wizard.Server().Close();
        if (result != CInstallerDownload::Result::Cancelled)
            deliver(request, [this, result] { Q_EMIT DownloadEnded(int(result)); });
    });
}

void CUpdateWorker::Cancel()
{
    m_cancel = true;
}

void CUpdateWorker::Stop()
{
    Cancel();
    std::unique_lock guard(m_lock);
    m_idle.wait(guard, [this] { return !m_running.load(); });
}
