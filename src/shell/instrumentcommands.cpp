// The main window's instrument commands: download, delete all objects on the
// instrument, and the firmware-upgrade tool. The exchanges run in the
// instrument service; these functions start them and take their results.
#include "shell/mainframe.h"

#include "app/appsettings.h"
#include "gui/desktopservices.h"
#include "gui/messageservice.h"
#include "gui/progressdlg.h"
#include "instrument/instrumentservice.h"
#include "res/resources.h"

#include <QApplication>
#include <QFileInfo>

using Instrument::NCall;
using Instrument::SCallResult;

bool CMainFrame::IsInstrumentBusy() const
{
    return m_instrument->IsBusy() || m_connection->IsConnecting();
}

// Never a second exchange on the line: the first one finishes undisturbed.
bool CMainFrame::refuseWhileBusy()
{
    if (!IsInstrumentBusy() && m_pending == Pending::None)
        return false;
    m_services.messages.Show(IMessageService::Icon::Warning, Res::LoadString(Res::IDS_INSTRUMENT_BUSY));
    return true;
}

void CMainFrame::DownloadObjects(bool add)
{
    if (refuseWhileBusy())
        return;
    m_connection->ConnectInstrument([this, add](bool connected) {
        if (connected)
            startDownload(add);
    });
}

void CMainFrame::startDownload(bool add)
{
    if (!m_instrument->Download()) {
        m_services.messages.Show(IMessageService::Icon::Error, Res::LoadString(Res::IDS_DOWNLOAD_FAILED));
        return;
    }
    m_pending = add ? Pending::AddDownload : Pending::Download;
    // Modal and not to be closed: the transfer ends only by itself, and the
    // window stays painted meanwhile.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_progress->Reset();
    m_progress->setWindowModality(Qt::ApplicationModal);
    m_progress->SetClosable(false);
    m_progress->show();
    m_progress->SetProgress(50);
}

void CMainFrame::instrumentFinished(const SCallResult &result)
{
    if (result.call == NCall::Download && (m_pending == Pending::Download || m_pending == Pending::AddDownload))
        downloadFinished(result);
    else if (result.call == NCall::DeleteAll && m_pending == Pending::DeleteAll)
        deleteFinished(result);
}

void CMainFrame::downloadFinished(const SCallResult &result)
{
    const bool add = m_pending == Pending::AddDownload;
    m_pending = Pending::None;
    m_progress->SetProgress(1000);
    m_progress->SetClosable(true);
    m_progress->hide();
    QApplication::restoreOverrideCursor();
    if (result.cancelled)
        return;   // the window is closing
    if (!result.ok)
        m_services.messages.Show(IMessageService::Icon::Error,
                                 Device::WithCause(Res::LoadString(Res::IDS_DOWNLOAD_FAILED), result.failure));
    else if (result.objects.isEmpty())
        m_services.messages.Show(IMessageService::Icon::Information,
                                 Res::LoadString(Res::IDS_NO_OBJECTS_ON_INSTRUMENT));
    else
        m_document.AddObjects(result.objects, add, true);
}

void CMainFrame::DeleteAllOnInstrument()
{
    if (refuseWhileBusy())
        return;
    m_connection->ConnectInstrument([this](bool connected) {
        if (!connected) {
            m_services.messages.Show(IMessageService::Icon::Warning, Res::LoadString(Res::IDS_NOT_CONNECTED));
            return;
        }
        if (m_services.messages.Show(IMessageService::Icon::Question, Res::LoadString(Res::IDS_ASK_DELETE_ALL),
                                     IMessageService::Buttons::YesNoCancel, {}, IMessageService::No)
            != IMessageService::Yes)
            return;
        if (!m_instrument->DeleteAll()) {
            m_services.messages.Show(IMessageService::Icon::Error, Res::LoadString(Res::IDS_DELETE_FAILED));
            return;
        }
        m_pending = Pending::DeleteAll;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    });
}

void CMainFrame::deleteFinished(const SCallResult &result)
{
    m_pending = Pending::None;
    QApplication::restoreOverrideCursor();
    if (result.cancelled)
        return;
    if (result.ok)
        m_services.messages.Show(IMessageService::Icon::Information, Res::LoadString(Res::IDS_DELETE_SUCCEEDED));
    else
        m_services.messages.Show(IMessageService::Icon::Error,
                                 Device::WithCause(Res::LoadString(Res::IDS_DELETE_FAILED), result.failure));
}

void CMainFrame::LaunchUpgradeTool()
{
    // The tool needs the port, which a running exchange still uses.
    if (refuseWhileBusy() || !m_connection->DisconnectInstrument())
        return;
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
