#include "update/pagesearch.h"

#include "gui/messageservice.h"
#include "gui/shownlines.h"
#include "res/resources.h"
#include "update/autoupdate.h"

#include <QLabel>
#include <QVBoxLayout>

CPageSearch::CPageSearch(CAutoUpdate &wizard) : m_wizard(wizard), m_worker(wizard)
{
    setObjectName(QStringLiteral("pageSearch"));
    setTitle(Res::LoadString(Res::IDS_UPDATE_SEARCH_PAGE));
    m_title = new QLabel;
    m_title->setObjectName(QStringLiteral("title"));
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_result = new QLabel;
    m_result->setObjectName(QStringLiteral("result"));
    m_result->setWordWrap(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addSpacing(8);
    layout->addWidget(m_status);
    layout->addWidget(m_result);
    layout->addStretch(1);
    connect(&m_worker, &CUpdateWorker::Connected, this, &CPageSearch::connected);
    connect(&m_worker, &CUpdateWorker::ConnectFailed, this, &CPageSearch::connectFailed);
    connect(&m_worker, &CUpdateWorker::Listed, this, &CPageSearch::listed);
}

void CPageSearch::initializePage()
{
    m_title->setText(Res::FormatString(Res::IDS_UPDATE_SEARCHING_FOR, {m_wizard.ProductName()}));
    m_title->show();
    m_status->setText(Res::LoadString(Res::IDS_UPDATE_CONNECTING));
    m_status->show();
    m_result->hide();
}

void CPageSearch::Activate()
{
    setState(State::Connecting);
    m_title->show();
    m_status->setText(Res::LoadString(Res::IDS_UPDATE_CONNECTING));
    m_status->show();
    m_result->hide();
    m_worker.Search(m_wizard.OwnProductVersion());
}

void CPageSearch::setState(State state)
{
    m_state = state;
    Q_EMIT completeChanged();
}

bool CPageSearch::isComplete() const
{
    return m_state == State::Failed || m_state == State::NoUpdate || m_state == State::Found;
}

int CPageSearch::nextId() const
{
    return m_state == State::Found ? CAutoUpdate::Page_Download : -1;
}

void CPageSearch::connected()
{
    setState(State::Searching);
    m_status->setText(Res::LoadString(Res::IDS_UPDATE_RECEIVING));
}

void CPageSearch::connectFailed(const QString &error)
{
    m_wizard.Services().messages.Show(IMessageService::Icon::Error, error);
    m_title->hide();
    m_status->setText(error);
    setState(State::Failed);
}

void CPageSearch::listed(bool ok, const QString &error, const SUpdateChoice &choice)
{
    if (ok) {
        m_wizard.Choice() = choice;
        showResult();
        return;
    }
    // Only Cancel is left: the folder could not be read, and the page says so
    // instead of still receiving.
    m_wizard.Services().messages.Show(IMessageService::Icon::Error, error);
    m_title->hide();
    m_status->setText(Res::LoadString(Res::IDS_UPDATE_LIST_FAILED));
    setState(State::ListFailed);
}

void CPageSearch::showResult()
{
    const SUpdateChoice &choice = m_wizard.Choice();
    m_title->hide();
    m_status->hide();
    m_result->setText(ShownLines(UpdateResultText(choice, m_wizard.ProductName())));
    m_result->show();
    setState(choice.HasUpdate() ? State::Found : State::NoUpdate);
}
