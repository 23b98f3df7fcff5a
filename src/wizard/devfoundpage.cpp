#include "wizard/devfoundpage.h"

#include "device/qxdevice.h"
#include "device/worker.h"
#include "gui/messageservice.h"
#include "gui/shownlines.h"
#include "res/resources.h"
#include "streamio/rs232stream.h"
#include "wizard/devselectsheet.h"
#include "wizard/searchrelay.h"

#include <QAbstractButton>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kAbortWaitMs = 8000;

} // namespace

CDevFoundPage::CDevFoundPage(CDevSelectSheet &sheet) : m_sheet(sheet)
{
    setObjectName(QStringLiteral("devFoundPage"));
    setTitle(Res::LoadString(Res::IDS_WIZARD_FOUND_TITLE));

    auto *explanation = new QLabel(Res::LoadString(Res::IDS_WIZARD_FOUND_EXPLANATION));
    explanation->setWordWrap(true);
    m_status = new QPlainTextEdit;
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setReadOnly(true);
    m_status->setFocusPolicy(Qt::NoFocus);
    m_status->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_status->setFixedHeight(m_status->fontMetrics().lineSpacing() * 4 + 12);
    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("devices"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_info = new QPlainTextEdit;
    m_info->setObjectName(QStringLiteral("info"));
    m_info->setReadOnly(true);
    m_info->setFocusPolicy(Qt::NoFocus);
    m_info->setFixedHeight(m_info->fontMetrics().lineSpacing() * 5 + 12);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addWidget(m_status);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_info);

    connect(m_list, &QListWidget::itemSelectionChanged, this, &CDevFoundPage::selectionChanged);
}

CDevFoundPage::~CDevFoundPage()
{
    CSearchRelay::Instance().Detach(this);
    if (m_searching)
        Device::AbortJobs(kAbortWaitMs);
}

void CDevFoundPage::setButtons(bool withBack)
{
    if (withBack)
        m_sheet.setButtonLayout({QWizard::Stretch, QWizard::BackButton, QWizard::FinishButton, QWizard::CancelButton});
    else
        m_sheet.setButtonLayout({QWizard::Stretch, QWizard::FinishButton, QWizard::CancelButton});
}

void CDevFoundPage::discardResults()
{
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    m_found.clear();   // the drivers close their ports
    m_status->clear();
    m_info->clear();
}

void CDevFoundPage::Activate()
{
    discardResults();
    m_searching = true;   // Finish stays off until the search is over
    setButtons(true);
    Q_EMIT completeChanged();
    QTimer::singleShot(0, this, &CDevFoundPage::startSearch);
}

void CDevFoundPage::startSearch()
{
    if (m_sheet.currentPage() != this)
        return;   // the user went back before the search began
    m_list->setEnabled(false);
    m_searching = true;
    setButtons(false);
    Q_EMIT completeChanged();

    const SWizardSettings &state = m_sheet.State();
    Device::SSearchParams params;
    params.type = m_sheet.Device() ? m_sheet.Device()->GetType() : state.deviceType;
    params.portKind = state.portKind;
    params.scan = state.scanPorts;
    params.stopAtFirst = state.stopAfterFirst;
    params.portNumber = int(state.comPort);
    params.address = state.ipAddress;
    m_search = CSearchRelay::Instance().Attach(this);
    Device::ClearAbort();
    if (!Device::QueueSearch(&CSearchRelay::Instance(), &params))
        searchEnded();   // no worker: nothing can be found
}

void CDevFoundPage::OnSearchStatus(std::uint64_t search, const QString &text)
{
    if (search == m_search && m_searching)
        m_status->setPlainText(ShownLines(text));
}

void CDevFoundPage::OnSearchResult(std::uint64_t search, std::unique_ptr<Device::CQxDevice> device, bool ended)
{
    if (search != m_search || !m_searching)
        return;   // a report of an earlier search: its driver is dropped
    if (ended) {
        searchEnded();
        return;
    }
    if (!device)
        return;
    Device::SDeviceInfo info;
    if (!device->QuickIdentify(info)) {
        m_status->setPlainText(m_status->toPlainText() + Res::LoadString(Res::IDS_WIZARD_BAD_CONNECTION));
        return;
    }
    m_list->addItem(DeviceLine(*device, info.serialNumber));
    m_found.push_back(std::move(device));
    m_list->setCurrentRow(m_list->count() - 1);
}

QString CDevFoundPage::DeviceLine(Device::CQxDevice &device, const QString &serialNumber)
{
    // The user knows the port as COMn; the device path says which device that is.
    QString port;
    const QString name = device.GetStreamName();
    if (const auto *serial = dynamic_cast<const StreamIO::CRs232Stream *>(device.GetStream()))
        port = QStringLiteral("COM%1 (%2)").arg(serial->GetPort()).arg(name);
    else if (name.startsWith(u"IP:"))
        port = name.left(name.lastIndexOf(u':'));
    if (!port.isEmpty())
        port.prepend(QStringLiteral("@ "));
    return Res::FormatString(Res::IDS_WIZARD_FOUND_LINE, {serialNumber, port});
}

void CDevFoundPage::searchEnded()
{
    m_searching = false;
    CSearchRelay::Instance().Detach(this);
    m_list->setEnabled(true);
    setButtons(true);
    if (!m_found.empty()) {
        m_status->setPlainText(Res::LoadString(Res::IDS_WIZARD_FINISHED_FOUND));
        selectionChanged();
        return;
    }
    m_status->setPlainText(Res::LoadString(Res::IDS_WIZARD_FINISHED_NONE));
    Q_EMIT completeChanged();
    const auto answer = m_sheet.Services().messages.Show(IMessageService::Icon::Question,
                                                         ShownLines(Res::LoadString(Res::IDS_WIZARD_ASK_RETRY)),
                                                         IMessageService::Buttons::RetryCancel);
    if (answer == IMessageService::Retry && m_sheet.currentPage() == this)
        QTimer::singleShot(0, this, &CDevFoundPage::startSearch);
}

void CDevFoundPage::selectionChanged()
{
    const int row = m_list->currentRow();
    const bool selected = row >= 0 && row < int(m_found.size()) && !m_list->selectedItems().isEmpty();
    const QString info = selected ? ShownLines(m_found[std::size_t(row)]->GetInfoText()) : QString();
    // One tab stop past the longest label lines the values up in any language.
    int labels = 0;
    for (const QString &line : info.split(u'\n'))
        if (line.contains(u'\t'))
            labels = std::max(labels, m_info->fontMetrics().horizontalAdvance(line.section(u'\t', 0, 0)));
    if (labels > 0)
        m_info->setTabStopDistance(labels + m_info->fontMetrics().averageCharWidth() * 2);
    m_info->setPlainText(info);
    Q_EMIT completeChanged();
}

bool CDevFoundPage::isComplete() const
{
    return !m_searching && m_list->currentRow() >= 0 && !m_list->selectedItems().isEmpty();
}

bool CDevFoundPage::validatePage()
{
    const int row = m_list->currentRow();
    if (m_searching || row < 0 || row >= int(m_found.size()))
        return false;
    // The chosen instrument replaces the type instance; the page no longer owns it.
    std::unique_ptr<Device::CQxDevice> chosen = std::move(m_found[std::size_t(row)]);
    m_found.erase(m_found.begin() + row);
    delete m_list->takeItem(row);
    m_sheet.SetDevice(std::move(chosen));
    return true;
}

void CDevFoundPage::cleanupPage()
{
    // Back: the next visit searches afresh.
    if (m_searching)
        AbortSearch();
    discardResults();
}

void CDevFoundPage::AbortSearch()
{
    CSearchRelay::Instance().Detach(this);
    Device::AbortJobs(kAbortWaitMs);
    m_searching = false;
}
