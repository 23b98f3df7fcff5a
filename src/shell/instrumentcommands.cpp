// The main window's instrument commands: download, delete all objects on the
// instrument, and the firmware-upgrade tool.
#include "shell/mainframe.h"

#include "app/appsettings.h"
#include "device/vetrasmartdevice.h"
#include "gui/desktopservices.h"
#include "gui/messageservice.h"
#include "gui/progressdlg.h"
#include "res/resources.h"
#include "streamio/streamerror.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QFileInfo>
#include <QScopeGuard>

#include <thread>

namespace {

// The driver reports progress from the download's own thread; the bar lives
// on the user-interface thread.
class CQueuedProgress : public Device::CCallback
{
public:
    explicit CQueuedProgress(CProgressDlg *progress) : m_progress(progress) {}
    void OnProgress(int percent, int, int) override
    {
        QMetaObject::invokeMethod(m_progress.data(), [bar = m_progress, percent] {
            if (bar)
                bar->SetProgress(percent * 10);
        }, Qt::QueuedConnection);
    }

private:
    QPointer<CProgressDlg> m_progress;
};

} // namespace

void CMainFrame::DownloadObjects(bool add)
{
    if (!m_connection.ConnectInstrument())
        return;
    Device::CVetraSmartDevice *device = m_connection.GetInstrument();
    Device::STransferContainer container;
    bool ok = false;
    Device::SFailure failure;
    {
        // The transfer runs on its own thread while the modal progress window
        // keeps the window painted; the result is taken over here in one step.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        CQueuedProgress callback(m_progress);
        device->SetCallback(&callback);
        m_progress->Reset();
        m_progress->setWindowModality(Qt::ApplicationModal);
        m_progress->show();
        const auto restore = qScopeGuard([&] {
            m_progress->hide();
            device->DetachCallback();
            QApplication::restoreOverrideCursor();
        });
        m_progress->SetProgress(50);
        QEventLoop loop;
        std::thread transfer([&] {
            try {
                ok = device->DownloadObjects(container, Device::CVetraSmartDevice::kDownloadBaud, true);
                failure = device->LastFailure();
            } catch (const StreamIO::StreamError &e) {
                ok = false;
                failure.cause = Device::NFailureCause::LinkLost;
                failure.streamCode = e.code();
                failure.streamText = e.message();
            } catch (...) {
                ok = false;   // anything else is a failed download too, without a known cause
            }
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        loop.exec();
        transfer.join();
        QCoreApplication::sendPostedEvents(m_progress);   // the last progress reports
        m_progress->SetProgress(1000);
    }
    if (!ok)
        m_services.messages.Show(IMessageService::Icon::Error,
                                 Device::WithCause(Res::LoadString(Res::IDS_DOWNLOAD_FAILED), failure));
    else if (container.objects.isEmpty())
        m_services.messages.Show(IMessageService::Icon::Information, Res::LoadString(Res::IDS_NO_OBJECTS_ON_INSTRUMENT));
    else
        m_document.AddObjects(container.objects, add, true);
}

void CMainFrame::DeleteAllOnInstrument()
{
    if (!m_connection.ConnectInstrument()) {
        m_services.messages.Show(IMessageService::Icon::Warning, Res::LoadString(Res::IDS_NOT_CONNECTED));
        return;
    }
    if (m_services.messages.Show(IMessageService::Icon::Question, Res::LoadString(Res::IDS_ASK_DELETE_ALL),
                                 IMessageService::Buttons::YesNoCancel) != IMessageService::Yes)
        return;
    Device::CVetraSmartDevice *device = m_connection.GetInstrument();
    Device::NError_code result;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        result = device->DeleteAllObjects();
    }
    if (result == Device::Err_Success)
        m_services.messages.Show(IMessageService::Icon::Information, Res::LoadString(Res::IDS_DELETE_SUCCEEDED));
    else
        m_services.messages.Show(IMessageService::Icon::Error,
                                 Device::WithCause(Res::LoadString(Res::IDS_DELETE_FAILED), device->LastFailure()));
}

void CMainFrame::LaunchUpgradeTool()
{
    // The tool needs the port.
    m_connection.DisconnectInstrument();
    Settings::WriteUpgradeToolSettings();
    const QString folder = Settings::ProgramFolder();
    const QString native = folder + u'/' + Res::LoadString(Res::IDS_UPGRADE_TOOL_NAME);
    const QString historical = folder + u'/' + Res::LoadString(Res::IDS_UPGRADE_TOOL_FILE);
    QString tool;
    for (const QString &candidate : {native, historical})
        if (tool.isEmpty() && QFileInfo(candidate).isFile())
            tool = candidate;
    if (tool.isEmpty()) {
        m_services.messages.Show(IMessageService::Icon::Warning,
                                 Res::FormatString(Res::IDS_UPGRADE_TOOL_NOT_FOUND, {native, historical}));
        return;
    }
    QString reason;
    if (!m_services.desktop.RunAndWait(tool, {}, Res::LoadString(Res::IDS_UPGRADE_TOOL_RUNNING), &reason))
        m_services.messages.Show(IMessageService::Icon::Error,
                                 Res::FormatString(Res::IDS_UPGRADE_TOOL_FAILED, {tool, reason}));
}
