#include "shell/childview.h"

#include "project/vetradoc.h"
#include "res/resources.h"
#include "views/objectlistpage.h"

#include <QTabWidget>
#include <QVBoxLayout>

CChildView::CChildView(CVetraDoc &document, QWidget *parent)
    : QWidget(parent), m_document(document), m_sheet(new QTabWidget(this))
{
    setObjectName(QStringLiteral("childView"));
    m_sheet->setObjectName(QStringLiteral("tabSheet"));
    m_sheet->setDocumentMode(true);
    m_page = new CObjectListPage(document, m_sheet);
    m_sheet->addTab(m_page, Res::LoadString(Res::IDS_TAB_OBJECTS));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_sheet);
    connect(m_page, &CTablePage::CommandStatesChanged, this, &CChildView::Changed);
    connect(m_page, &CTablePage::StatusText, this, &CChildView::StatusText);
    m_document.RegisterView(this);
}

CChildView::~CChildView()
{
    m_document.UnregisterView(this);
}

CTablePage &CChildView::ActivePage() const
{
    return *m_page;
}

void CChildView::Retranslate()
{
    m_sheet->setTabText(m_sheet->indexOf(m_page), Res::LoadString(Res::IDS_TAB_OBJECTS));
    m_page->Retranslate();
}

void CChildView::OnDocumentUpdate(int)
{
    Q_EMIT Changed();
}
