#include "wizard/devfoundpage.h"

#include "gui/accessibletext.h"
#include "gui/messageservice.h"
#include "gui/shownlines.h"
#include "res/resources.h"
#include "wizard/devselectsheet.h"

#include <QAbstractButton>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

using Instrument::CInstrumentService;
using Instrument::NCall;

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
    // Two lines: a search step, or its end and a bad connection after it.
    m_status->setFixedHeight(m_status->fontMetrics().lineSpacing() * 2 + 2 * m_status->frameWidth()
                             + 2 * int(m_status->document()->documentMargin()));
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
    Accessible::Set(*m_status, Res::IDS_A11Y_SEARCH_STATUS, Res::IDS_A11Y_SEARCH_STATUS_TEXT);
    Accessible::Set(*m_list, Res::IDS_A11Y_FOUND_LIST, Res::IDS_A11Y_FOUND_LIST_TEXT);
    Accessible::Set(*m_info, Res::IDS_A11Y_FOUND_INFO, Res::IDS_A11Y_FOUND_INFO_TEXT);

    connect(m_list, &QListWidget::itemSelectionChanged, this, &CDevFoundPage::selectionChanged);
    // A double click on a found instrument is Finish.
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] {
        if (isComplete())
            m_sheet.button(QWizard::FinishButton)->click();
    });
    CInstrumentService &service = m_sheet.Services().instrument;
    connect(&service, &CInstrumentService::SearchStatus, this, &CDevFoundPage::onStatus);
    connect(&service, &CInstrumentService::InstrumentFound, this, &CDevFoundPage::onFound);
    connect(&service, &CInstrumentService::BadConnection, this, &CDevFoundPage::onBadConnection);
    connect(&service, &CInstrumentService::Finished, this, &CDevFoundPage::onFinished);
    connect(&service, &CInstrumentService::BusyChanged, this, [this](bool busy) {
        if (!busy && m_waitingForService) {
            m_waitingForService = false;
            startSearch();
        }
    });
}

CDevFoundPage::~CDevFoundPage()
{
    if (m_searching)
        AbortSearch();
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
    m_found.clear();
    if (!m_searching)
        m_sheet.Services().instrument.DropCandidates();   // their ports close
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

    CInstrumentService &service = m_sheet.Services().instrument;
    if (service.IsBusy() && service.RunningCall() == NCall::Search) {
        m_waitingForService = true;   // the search left by Back is still ending
        return;
    }
    const SWizardSettings &state = m_sheet.State();
    Device::SSearchParams params;
    params.type = state.deviceType;
    params.portKind = state.portKind;
    params.scan = state.scanPorts;
    params.stopAtFirst = state.stopAfterFirst;
    params.portNumber = int(state.comPort);
    params.address = state.ipAddress;
    if (!service.Search(params))
        searchEnded();   // no worker: nothing can be found
}

void CDevFoundPage::onStatus(const QString &text)
{
    if (m_searching)
        m_status->setPlainText(ShownLines(text));
}

void CDevFoundPage::onFound(const Instrument::SFoundInstrument &found)
{
    if (!m_searching)
        return;
    m_list->addItem(DeviceLine(found));
    m_found.push_back(found);
    m_list->setCurrentRow(m_list->count() - 1);
}

void CDevFoundPage::onBadConnection()
{
    if (m_searching)
        m_status->setPlainText(m_status->toPlainText() + Res::LoadString(Res::IDS_WIZARD_BAD_CONNECTION));
}

void CDevFoundPage::onFinished(const Instrument::SCallResult &result)
{
    if (result.call == NCall::Search && m_searching)
        searchEnded();
}

QString CDevFoundPage::DeviceLine(const Instrument::SFoundInstrument &found)
{
    // The user knows the port as COMn; the device path says which device that is.
    QString port;
    const QString &name = found.streamName;
    if (found.comPort > 0)
        port = QStringLiteral("COM%1 (%2)").arg(found.comPort).arg(name);
    else if (name.startsWith(u"IP:"))
        port = name.left(name.lastIndexOf(u':'));
    if (!port.isEmpty())
        port.prepend(QStringLiteral("@ "));
    return Res::FormatString(Res::IDS_WIZARD_FOUND_LINE, {found.serialNumber, port});
}

void CDevFoundPage::searchEnded()
{
    m_searching = false;
    m_list->setEnabled(true);
    setButtons(true);
    if (!m_found.empty()) {
        m_status->setPlainText(Res::LoadString(Res::IDS_WIZARD_FINISHED_FOUND));
        // The list has the focus with the first one chosen, and Enter is
        // Finish (not Back, which had the focus while the search ran).
        m_list->setCurrentRow(0);
        m_list->setFocus();
        if (QAbstractButton *finish = m_sheet.button(QWizard::FinishButton))
            if (auto *push = qobject_cast<QPushButton *>(finish))
                push->setDefault(true);
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
    const QString info = selected ? ShownLines(m_found[std::size_t(row)].infoText) : QString();
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
    // The chosen instrument goes to the service; the others close their ports.
    if (!m_sheet.Services().instrument.Adopt(m_found[std::size_t(row)].id))
        return false;
    m_found.clear();
    m_list->clear();
    m_sheet.SetAdopted();
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
    m_waitingForService = false;
    if (!m_searching)
        return;
    m_searching = false;
    m_sheet.Services().instrument.Cancel();
}
