#pragma once
// CTabSheet: the client view's sheet with its one page, the object table
// ("Objects").

#include <QTabWidget>

class CTabGrid;
class CQtProjectClipboard;
class CVetraDoc;
class IMessageService;

class CTabSheet : public QTabWidget
{
    Q_OBJECT
public:
    CTabSheet(CVetraDoc &document, IMessageService &messages, CQtProjectClipboard &clipboard,
              QWidget *parent = nullptr);

    CTabGrid &Grid() const { return *m_grid; }
    void Retranslate();

private:
    CTabGrid *m_grid;
};
