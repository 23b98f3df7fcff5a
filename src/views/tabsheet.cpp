#include "views/tabsheet.h"

#include "res/resources.h"
#include "views/assessmentpage.h"
#include "views/tabgrid.h"

CTabSheet::CTabSheet(CVetraDoc &document, IMessageService &messages, CQtProjectClipboard &clipboard, QWidget *parent)
    : QTabWidget(parent), m_grid(new CTabGrid(document, messages, clipboard, this)),
      m_assessment(new CAssessmentPage(document, *m_grid, this))
{
    setObjectName(QStringLiteral("tabSheet"));
    setDocumentMode(true);
    addTab(m_grid, Res::LoadString(Res::IDS_TAB_OBJECTS));
    addTab(m_assessment, Res::LoadString(Res::IDS_TAB_ASSESSMENT));
    describeTabs();
}

// A tab's tooltip is what assistive tools read as its description.
void CTabSheet::describeTabs()
{
    setTabToolTip(indexOf(m_grid), Res::LoadString(Res::IDS_TAB_OBJECTS_DESCRIPTION));
    setTabToolTip(indexOf(m_assessment), Res::LoadString(Res::IDS_TAB_ASSESSMENT_DESCRIPTION));
}

void CTabSheet::Retranslate()
{
    setTabText(indexOf(m_grid), Res::LoadString(Res::IDS_TAB_OBJECTS));
    setTabText(indexOf(m_assessment), Res::LoadString(Res::IDS_TAB_ASSESSMENT));
    describeTabs();
    m_grid->Retranslate();
    m_assessment->Retranslate();
}
