#pragma once
// CTabSheet: the client view's sheet: the object table ("Objects") and the
// cover assessment of its selection.

#include <QTabWidget>

class CAssessmentPage;
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
    CAssessmentPage &Assessment() const { return *m_assessment; }
    void Retranslate();

private:
    void describeTabs();
    CTabGrid *m_grid;
    CAssessmentPage *m_assessment;
};
