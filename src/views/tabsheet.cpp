#include "views/tabsheet.h"

#include "res/resources.h"
#include "views/tabgrid.h"

CTabSheet::CTabSheet(CVetraDoc &document, IMessageService &messages, CQtProjectClipboard &clipboard, QWidget *parent)
    : QTabWidget(parent), m_grid(new CTabGrid(document, messages, clipboard, this))
{
    setObjectName(QStringLiteral("tabSheet"));
    setDocumentMode(true);
    addTab(m_grid, Res::LoadString(Res::IDS_TAB_OBJECTS));
}

void CTabSheet::Retranslate()
{
    setTabText(indexOf(m_grid), Res::LoadString(Res::IDS_TAB_OBJECTS));
    m_grid->Retranslate();
}
