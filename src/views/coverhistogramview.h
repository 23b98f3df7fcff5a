#pragma once
// CCoverHistogramView: the histogram of the assessed covers with the
// required cover and the fitted curves, drawn by the report's painter.

#include "data/coverassessment.h"

#include <QWidget>

#include <vector>

class CCoverHistogramView : public QWidget
{
    Q_OBJECT
public:
    explicit CCoverHistogramView(QWidget *parent = nullptr);

    void SetCovers(std::vector<double> coversMm, const SAssessmentSettings &settings);
    QSize sizeHint() const override { return {520, 320}; }
    QSize minimumSizeHint() const override { return {300, 200}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::vector<double> m_covers;
    SAssessmentSettings m_settings;
};
