#include "update/autoupdate.h"

#include "app/appsettings.h"
#include "app/language.h"
#include "gui/accessibletext.h"
#include "gui/messageservice.h"
#include "res/resources.h"
#include "update/pagedownload.h"
#include "update/pagesearch.h"

#include <QAbstractButton>

CAutoUpdate::CAutoUpdate(SUpdateServices services, SServerAddress address, QWidget *parent)
    : QWizard(parent), m_services(services), m_server(std::move(address)), m_ownVersion(ProgramVersionInfo())
{
    setObjectName(QStringLiteral("updateWizard"));
    setWindowTitle(Res::LoadString(Res::IDS_UPDATE_CAPTION));
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::HaveHelpButton, false);
    setButtonLayout(
        {QWizard::Stretch, QWizard::BackButton, QWizard::NextButton, QWizard::FinishButton, QWizard::CancelButton});
    SetProgramFolder(Settings::ProgramFolder());
    m_searchPage = new CPageSearch(*this);
    m_downloadPage = new CPageDownload(*this);
    setPage(Page_Search, m_searchPage);
    setPage(Page_Download, m_downloadPage);
    setStartId(Page_Search);
    setButtonText(QWizard::NextButton, Res::LoadString(Res::IDS_UPDATE_NEXT));
    setButtonText(QWizard::BackButton, Res::LoadString(Res::IDS_UPDATE_BACK));
    setButtonText(QWizard::FinishButton, Res::LoadString(Res::IDS_UPDATE_FINISH));
    setButtonText(QWizard::CancelButton, Res::LoadString(Res::IDS_UPDATE_CANCEL));
    Accessible::Describe(*button(QWizard::NextButton), Res::IDS_A11Y_UPDATE_NEXT);
    Accessible::Describe(*button(QWizard::BackButton), Res::IDS_A11Y_UPDATE_BACK);
    Accessible::Describe(*button(QWizard::FinishButton), Res::IDS_A11Y_UPDATE_FINISH);
    Accessible::Describe(*button(QWizard::CancelButton), Res::IDS_A11Y_UPDATE_CANCEL);
    connect(this, &QWizard::currentIdChanged, this, &CAutoUpdate::onPageChanged);
    // After QWizard's own update of the buttons, which these connections follow.
    for (QWizardPage *page : {static_cast<QWizardPage *>(m_searchPage), static_cast<QWizardPage *>(m_downloadPage)})
        connect(page, &QWizardPage::completeChanged, this, &CAutoUpdate::updateButtons);
    setMinimumSize(520, 340);
}

CAutoUpdate::~CAutoUpdate()
{
    m_searchPage->Stop();
    m_downloadPage->Stop();
}

void CAutoUpdate::SetProgramFolder(const QString &folder)
{
    m_programFolder = folder;
    if (!m_programFolder.isEmpty() && !m_programFolder.endsWith(u'/'))
        m_programFolder += u'/';
}

CVersion CAutoUpdate::OwnProductVersion() const
{
    return CVersion::Parse(m_ownVersion.GetProductVersion());
}

bool CAutoUpdate::EnsureConnected(QString *error)
{
    if (::EnsureConnected(m_server))
        return true;
    if (error)
        *error = m_server.GetLastError();
    return false;
}

void CAutoUpdate::onPageChanged(int id)
{
    if (id == Page_Search)
        m_searchPage->Activate();
    else if (id == Page_Download)
        m_downloadPage->Activate();
    updateButtons();
}

void CAutoUpdate::updateButtons()
{
    // Back, Next and Finish always stand in their places, and the page's
    // state alone says which one may be used: there is no way back to the
    // search, whose connection the download reuses.
    const bool onSearch = currentId() == Page_Search;
    const bool complete = currentPage() && currentPage()->isComplete();
    const bool next = onSearch && complete && m_searchPage->nextId() == Page_Download;
    for (const WizardButton which : {QWizard::BackButton, QWizard::NextButton, QWizard::FinishButton})
        button(which)->setVisible(true);
    button(QWizard::BackButton)->setEnabled(false);
    button(QWizard::NextButton)->setEnabled(next);
    button(QWizard::FinishButton)->setEnabled(complete && !next);
}

void CAutoUpdate::reject()
{
    // Cancel answers at once: the running request ends at its next block.
    m_searchPage->Stop();
    m_downloadPage->Stop();
    m_server.Close();
    QWizard::reject();
}

void CAutoUpdate::accept()
{
    m_searchPage->Stop();
    m_server.Close();
    QWizard::accept();
}

bool RunUpdateWizard(SUpdateServices services, QWidget *parent)
{
    CAutoUpdate wizard(services, DefaultServerAddress(), parent);
    services.messages.RunDialog(wizard);
    return wizard.Launched() && wizard.result() == QDialog::Accepted;
}
