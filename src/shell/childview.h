#pragma once
// CChildView: the main window's client area. It holds the table sheet with
// its one page, is a registered view of the document, and routes the table
// commands to the active page.

#include "project/documentui.h"

#include <QWidget>

class CQtProjectClipboard;
class CTablePage;
class CTabSheet;
class CVetraDoc;
class IMessageService;

class CChildView : public QWidget, public IDocumentView
{
    Q_OBJECT
public:
    CChildView(CVetraDoc &document, IMessageService &messages, CQtProjectClipboard &clipboard,
               QWidget *parent = nullptr);
    ~CChildView() override;

    // The sheet's active page; never null.
    CTablePage &ActivePage() const;
    void Retranslate();

    void OnDocumentUpdate(int index) override;

Q_SIGNALS:
    // The document changed, or the page's selection: titles and enable states
    // may differ.
    void Changed();
    void StatusText(const QString &text);

private:
    CVetraDoc &m_document;
    CTabSheet *m_sheet;
    CTablePage *m_page;
};
