#include "views/assessmentpage.h"

#include "app/appsettings.h"
#include "data/units.h"
#include "project/vetradoc.h"
#include "render/assessmenttext.h"
#include "res/resources.h"
#include "views/assessmentfigures.h"
#include "views/coverhistogramview.h"
#include "views/tabgrid.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

CAssessmentPage::CAssessmentPage(CVetraDoc &document, CTabGrid &grid, QWidget *parent)
    : QWidget(parent), m_document(document), m_grid(grid), m_heading(new QLabel(this)),
      m_chart(new CCoverHistogramView(this)), m_figures(new QGridLayout), m_note(new QLabel(this))
{
    setObjectName(QStringLiteral("assessmentPage"));
    QFont headingFont = m_heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.15);
    m_heading->setFont(headingFont);
    m_note->setWordWrap(true);
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_figures->setHorizontalSpacing(18);
    m_figures->setVerticalSpacing(6);

    auto *side = new QVBoxLayout;
    side->addLayout(m_figures);
    side->addSpacing(12);
    side->addWidget(m_note);
    side->addStretch(1);
    auto *body = new QHBoxLayout;
    body->addWidget(m_chart, 1);
    body->addSpacing(18);
    body->addLayout(side);
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(16, 12, 16, 12);
    page->addWidget(m_heading);
    page->addSpacing(8);
    page->addLayout(body, 1);

    m_document.RegisterView(this);
    // The selection changes the set; it is counted again only when shown.
    connect(&m_grid, &CTablePage::CommandStatesChanged, this, &CAssessmentPage::invalidate);
}

CAssessmentPage::~CAssessmentPage()
{
    m_document.UnregisterView(this);
}

void CAssessmentPage::OnDocumentUpdate(int)
{
    invalidate();
}

void CAssessmentPage::Retranslate()
{
    invalidate();
}

void CAssessmentPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_stale)
        refresh();
}

void CAssessmentPage::invalidate()
{
    if (m_stale)
        return;
    m_stale = true;
    // Changes come in bursts (a download, a selection drag): one count after them.
    if (isVisible())
        QTimer::singleShot(0, this, [this] {
            if (m_stale && isVisible())
                refresh();
        });
}

void CAssessmentPage::refresh()
{
    m_stale = false;
    const CVetraData &list = m_document.Current();
    std::vector<int> objects = m_grid.SelectedObjects();
    const bool all = objects.empty();
    if (all) {
        objects.resize(std::size_t(list.GetCount()));
        for (int i = 0; i < list.GetCount(); ++i)
            objects[std::size_t(i)] = i;
    }
    std::vector<double> covers;
    bool inch = !objects.empty();
    for (const int i : objects) {
        const object_t &o = list.GetObject(i);
        AppendValidCovers(o, covers);
        inch = inch && o.regional == Regional_AstmInch;
    }
    const SAssessmentSettings settings = Settings::Current().assessment;
    const SCoverAssessment assessment = AssessCovers(covers, settings);

    m_heading->setText(Res::FormatString(all ? Res::IDS_ASSESS_ALL : Res::IDS_ASSESS_SELECTION, {int(objects.size())}));
    m_chart->SetCovers(std::move(covers), settings);

    for (QLabel *label : m_figureLabels)
        delete label;
    m_figureLabels.clear();
    const std::vector<SFigureRow> rows = AssessmentFigureRows(assessment, settings, inch);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        auto *name = new QLabel(rows[r].label + u':', this);
        auto *value = new QLabel(rows[r].value, this);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setAccessibleName(rows[r].label);
        name->setBuddy(value);
        m_figures->addWidget(name, int(r), 0);
        m_figures->addWidget(value, int(r), 1);
        // Now, not on the layout's later turn: the figures read true at once.
        name->show();
        value->show();
        m_figureLabels.push_back(name);
        m_figureLabels.push_back(value);
    }
    // The verdict, last, in words and colour.
    QLabel *verdict = m_figureLabels.back();
    QFont bold = verdict->font();
    bold.setBold(true);
    verdict->setFont(bold);
    QPalette palette = verdict->palette();
    palette.setColor(QPalette::WindowText, Render::VerdictColour(assessment.verdict));
    verdict->setPalette(palette);

    QString note;
    if (objects.empty())
        note = Res::LoadString(Res::IDS_ASSESS_NO_OBJECTS);
    else if (!settings.requiredCover)
        note = Res::LoadString(Res::IDS_ASSESS_NO_LIMIT_NOTE);
    else if (assessment.verdict == NVerdict::TooFew)
        note = Res::FormatString(Res::IDS_ASSESS_TOO_FEW_NOTE, {kAssessmentMinimumCount});
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
}
