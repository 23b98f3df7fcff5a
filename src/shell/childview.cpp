#include "shell/childview.h"

#include "project/vetradoc.h"
#include "views/tabgrid.h"
#include "views/tabsheet.h"

#include <QVBoxLayout>

CChildView::CChildView(CVetraDoc &document, IMessageService &messages, CQtProjectClipboard &clipboard, QWidget *parent)
    : QWidget(parent), m_document(document), m_sheet(new CTabSheet(document, messages, clipboard, this))
{
    setObjectName(QStringLiteral("childView"));
    m_page = &m_sheet->Grid();
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
    m_sheet->Retranslate();
}

void CChildView::OnDocumentUpdate(int)
{
    Q_EMIT Changed();
}
