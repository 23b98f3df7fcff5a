#include "views/coverhistogramview.h"

#include "render/assessmentchart.h"

#include <QPainter>

CCoverHistogramView::CCoverHistogramView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("coverHistogram"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CCoverHistogramView::SetCovers(std::vector<double> coversMm, const SAssessmentSettings &settings)
{
    m_covers = std::move(coversMm);
    m_settings = settings;
    update();
}

void CCoverHistogramView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    Render::SChartLook look;
    look.font = font();
    Render::PaintCoverHistogram(painter, QRectF(rect()).adjusted(4, 4, -4, -4), m_covers, m_settings, look);
}
