#include "wizard/devselectsheet.h"

#include "app/appsettings.h"
#include "gui/desktopservices.h"
#include "gui/messageservice.h"
#include "instrument/instrumentservice.h"
#include "res/resources.h"
#include "wizard/devfoundpage.h"
#include "wizard/portselectpage.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QUrl>

CDevSelectSheet::CDevSelectSheet(int captionId, SWizardServices services, QWidget *parent)
    : QWizard(parent), m_services(services)
{
    setObjectName(QStringLiteral("connectionWizard"));
    setWindowTitle(Res::LoadString(captionId));
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnStartPage);
    setOption(QWizard::HaveHelpButton, false);
    m_portPage = new CPortSelectPage(*this);
    m_foundPage = new CDevFoundPage(*this);
    setPage(Page_PortSelect, m_portPage);
    setPage(Page_DevFound, m_foundPage);
    setStartId(Page_PortSelect);

    setButtonText(QWizard::NextButton, Res::LoadString(Res::IDS_WIZARD_NEXT));
    setButtonText(QWizard::BackButton, Res::LoadString(Res::IDS_WIZARD_BACK));
    setButtonText(QWizard::FinishButton, Res::LoadString(Res::IDS_WIZARD_FINISH));
    setButtonText(QWizard::CancelButton, Res::LoadString(Res::IDS_WIZARD_CANCEL));
    button(QWizard::NextButton)->setToolTip(Res::LoadString(Res::IDS_WIZARD_TIP_NEXT));
    button(QWizard::CancelButton)->setToolTip(Res::LoadString(Res::IDS_WIZARD_TIP_CANCEL));
    button(QWizard::BackButton)->setToolTip(Res::LoadString(Res::IDS_WIZARD_TIP_BACK));
    button(QWizard::FinishButton)->setToolTip(Res::LoadString(Res::IDS_WIZARD_TIP_FINISH));

    connect(this, &QWizard::currentIdChanged, this, &CDevSelectSheet::onPageChanged);
    setMinimumSize(560, 440);
}

CDevSelectSheet::~CDevSelectSheet() = default;

bool CDevSelectSheet::LoadWizardSettings(const CSettingsStore &store, const QString &key)
{
    if (key.isEmpty())
        return false;
    return ::LoadWizardSettings(store, key, m_state);
}

bool CDevSelectSheet::SaveWizardSettings(CSettingsStore &store, const QString &key) const
{
    if (key.isEmpty())
        return false;
    return ::SaveWizardSettings(store, key, m_state);
}

int CDevSelectSheet::DoModal()
{
    return m_services.messages.RunDialog(*this) == QDialog::Accepted ? kFinish : kCancel;
}

std::uint32_t CDevSelectSheet::PortMask() const
{
    return m_portMask ? *m_portMask : Instrument::CInstrumentService::PortMask(m_state.deviceType);
}

void CDevSelectSheet::reject()
{
    if (m_foundPage->IsSearching())
        m_foundPage->AbortSearch();
    QWizard::reject();
}

void CDevSelectSheet::onPageChanged(int id)
{
    if (id == Page_PortSelect)
        m_portPage->Activate();
    else if (id == Page_DevFound)
        m_foundPage->Activate();
}

void CDevSelectSheet::ShowHelp()
{
    // The manual beside the program, or in the folder the settings name.
    const QString name = Res::LoadString(Res::IDS_HELP_FILE);
    QStringList candidates{Settings::ProgramFolder() + u'/' + name};
    if (!Settings::Current().pfad.isEmpty())
        candidates << Settings::Current().pfad + u'/' + name;
    for (const QString &path : candidates) {
        if (!name.isEmpty() && QFileInfo(path).isFile()
            && m_services.desktop.OpenUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())))
            return;
    }
    m_services.messages.Show(IMessageService::Icon::Information, Res::LoadString(Res::IDS_WIZARD_HELP_TEXT),
                             IMessageService::Buttons::Ok, windowTitle());
}
