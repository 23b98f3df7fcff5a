#include "update/pagedownload.h"

#include "gui/accessibletext.h"
#include "gui/desktopservices.h"
#include "gui/messageservice.h"
#include "res/resources.h"
#include "update/autoupdate.h"
#include "update/server/installerdownload.h"

#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

CPageDownload::CPageDownload(CAutoUpdate &wizard) : m_wizard(wizard), m_worker(wizard)
{
    setObjectName(QStringLiteral("pageDownload"));
    setTitle(Res::LoadString(Res::IDS_UPDATE_DOWNLOAD_PAGE));
    setFinalPage(true);
    m_title = new QLabel;
    m_title->setObjectName(QStringLiteral("title"));
    m_title->setWordWrap(true);
    m_bar = new QProgressBar;
    m_bar->setObjectName(QStringLiteral("progress"));
    m_bar->setRange(0, 100);
    Accessible::Set(*m_bar, Res::IDS_A11Y_PROGRESS, Res::IDS_A11Y_UPDATE_PROGRESS);
    m_amount = new QLabel;
    m_amount->setObjectName(QStringLiteral("amount"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addSpacing(8);
    layout->addWidget(m_bar);
    layout->addWidget(m_amount);
    layout->addStretch(1);
    connect(&m_worker, &CUpdateWorker::ConnectFailed, this, &CPageDownload::connectFailed);
    connect(&m_worker, &CUpdateWorker::Received, this, &CPageDownload::progress);
    connect(&m_worker, &CUpdateWorker::DownloadEnded, this, &CPageDownload::finished);
}

CPageDownload::~CPageDownload()
{
    m_worker.Stop();
}

void CPageDownload::initializePage()
{
    m_title->setText(Res::FormatString(Res::IDS_UPDATE_DOWNLOADING, {m_wizard.Choice().file}));
}

void CPageDownload::setState(State state)
{
    m_state = state;
    Q_EMIT completeChanged();
}

bool CPageDownload::isComplete() const
{
    return m_state == State::Failed;
}

void CPageDownload::Activate()
{
    setState(State::Starting);
    m_bar->show();
    m_amount->show();
    QMetaObject::invokeMethod(this, &CPageDownload::start, Qt::QueuedConnection);
}

void CPageDownload::start()
{
    const SUpdateChoice &choice = m_wizard.Choice();
    const SServerFile file{choice.file, choice.size};
    m_localPath = m_wizard.ProgramFolder() + choice.file;
    m_download = std::make_unique<CInstallerDownload>(m_localPath, file);
    if (!m_download->Create(nullptr)) {
        // The program's folder may be read-only (an installed program): ask where.
        SFileDialog dialog;
        dialog.filter = Res::LoadString(Res::IDS_UPDATE_SAVE_FILTER);
        dialog.defaultSuffix = QStringLiteral("exe");
        dialog.initialName = choice.file;
        dialog.caption = Res::LoadString(Res::IDS_UPDATE_SAVE_CAPTION);
        const std::optional<QString> picked = m_wizard.Services().messages.AskSaveFile(dialog);
        if (!picked) {
            m_download.reset();
            showDownloadError(Res::LoadString(Res::IDS_UPDATE_DOWNLOAD_FAILED));
            return;
        }
        m_localPath = *picked;
        m_title->setText(Res::FormatString(Res::IDS_UPDATE_DOWNLOADING, {QFileInfo(m_localPath).fileName()}));
        m_download = std::make_unique<CInstallerDownload>(m_localPath, file);
        QString reason;
        if (!m_download->Create(&reason)) {
            m_download.reset();
            m_wizard.Services().messages.Show(IMessageService::Icon::Error,
                                              Res::FormatString(Res::IDS_ERR_FILE_WRITE, {m_localPath, reason}));
            setState(State::Stuck);   // only Cancel is left
            return;
        }
    }
    m_bar->setValue(0);
    m_amount->setText(QStringLiteral("0"));
    m_amountUpdates = 0;
    setState(State::Transferring);

    m_worker.Download(*m_download, std::uint64_t(std::max<std::int64_t>(choice.size, 0)));
}

void CPageDownload::progress(std::uint64_t received)
{
    const std::uint64_t size = std::uint64_t(std::max<std::int64_t>(m_wizard.Choice().size, 0));
    m_bar->setValue(size ? int(received * 100 / size) : 0);
    const QString text = Res::FormatString(Res::IDS_UPDATE_AMOUNT, {MegabytesText(received)});
    if (m_amount->text() != text) {
        m_amount->setText(text);
        ++m_amountUpdates;
    }
}

void CPageDownload::connectFailed(const QString &error)
{
    m_download.reset();
    showDownloadError(error);
}

void CPageDownload::finished(int result)
{
    if (CInstallerDownload::Result(result) == CInstallerDownload::Result::Done) {
        progress(m_download->Received());
        m_download.reset();
        launch();
        return;
    }
    m_download.reset();
    showDownloadError(Res::LoadString(Res::IDS_UPDATE_DOWNLOAD_FAILED));
}

void CPageDownload::launch()
{
    QString reason;
    if (!m_wizard.Services().desktop.OpenFile(QFileInfo(m_localPath).absoluteFilePath(), &reason)) {
        // Without a started installer the program must not close.
        QString text = Res::FormatString(Res::IDS_UPDATE_LAUNCH_FAILED, {m_localPath});
        if (!reason.isEmpty())
            text += u'\n' + reason;
        m_wizard.Services().messages.Show(IMessageService::Icon::Error, text);
        m_title->setText(text);
        setState(State::Failed);
        return;
    }
    m_state = State::Launched;
    m_wizard.SetLaunched();
    m_wizard.accept();
}

void CPageDownload::showDownloadError(const QString &text)
{
    m_title->setText(text);
    m_amount->hide();
    m_bar->hide();
    m_wizard.Server().Close();
    setState(State::Failed);
}

void CPageDownload::Stop()
{
    m_worker.Stop();
    m_download.reset();   // a partial file goes with it
}
