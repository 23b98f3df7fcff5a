#pragma once
// CAssessmentPage: the sheet's second page — the cover assessment of the
// table's selection or, with nothing selected, of every object: a histogram
// and the figures with the verdict. It follows the document and the table's
// selection, and computes only while it is shown.

#include "project/documentui.h"

#include <QWidget>

#include <vector>

class CCoverHistogramView;
class CTabGrid;
class CVetraDoc;
class QGridLayout;
class QLabel;

class CAssessmentPage : public QWidget, public IDocumentView
{
    Q_OBJECT
public:
    CAssessmentPage(CVetraDoc &document, CTabGrid &grid, QWidget *parent = nullptr);
    ~CAssessmentPage() override;

    void OnDocumentUpdate(int index) override;
    void Retranslate();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void invalidate();
    void refresh();

    CVetraDoc &m_document;
    CTabGrid &m_grid;
    QLabel *m_heading;
    CCoverHistogramView *m_chart;
    QGridLayout *m_figures;
    std::vector<QLabel *> m_figureLabels;
    QLabel *m_note;
    bool m_stale = true;
};
