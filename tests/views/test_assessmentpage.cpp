// The cover assessment in the window: the figures as listed, the page
// following the selection and the settings, and the table's warning colour.
#include "render/assessmenttext.h"
#include "render/tablecells.h"
#include "tablefixture.h"
#include "views/assessmentfigures.h"
#include "views/assessmentpage.h"

#include <QLabel>

namespace {

using TestSupport::MakeObject;

QStringList list(std::initializer_list<const char16_t *> items)
{
    QStringList l;
    for (const char16_t *i : items)
        l << QString::fromUtf16(i);
    return l;
}

QStringList texts(const std::vector<SFigureRow> &rows)
{
    QStringList t;
    for (const SFigureRow &r : rows)
        t << r.label + u'=' + r.value;
    return t;
}

TEST(AssessmentFigures, ListedInMillimetresOrInchesWithTheVerdictLast)
{
    SCoverAssessment a;
    a.count = 20;
    a.mean = 34.4;
    a.sd = 6.4677;
    a.min = 22;
    a.max = 47;
    a.belowCount = 1;
    a.belowShare = 0.05;
    a.characteristicNormal = 23.76;
    a.characteristicLogNormal = 24.58;
    a.verdict = NVerdict::NotMet;
    SAssessmentSettings settings;
    settings.requiredCover = 25;
    EXPECT_EQ(texts(AssessmentFigureRows(a, settings, false)),
              list({u"Valid measurements=20", u"Mean cover=34.4 mm", u"Standard deviation=6.5 mm",
                    u"Minimum cover=22 mm", u"Maximum cover=47 mm", u"Required minimum cover=25 mm",
                    u"Below the required cover=1 of 20 (5 %)", u"Characteristic value, normal (5 % quantile)=23.8 mm",
                    u"Characteristic value, log-normal=24.6 mm", u"Assessment=not met"}));
    // Inches for a set of inch objects: 25.4 mm to the inch, one decimal more.
    settings.quantile = 0.025;
    const QStringList inch = texts(AssessmentFigureRows(a, settings, true));
    EXPECT_EQ(inch[1], QStringLiteral("Mean cover=1.354 inch"));
    EXPECT_EQ(inch[3], QStringLiteral("Minimum cover=0.87 inch"));
    EXPECT_EQ(inch[5], QStringLiteral("Required minimum cover=0.984 inch"));
    EXPECT_EQ(inch[7], QStringLiteral("Characteristic value, normal (2.5 % quantile)=0.935 inch"));
    // A required cover keeps the half millimetre it was given.
    settings.requiredCover = 25.5;
    EXPECT_EQ(texts(AssessmentFigureRows(a, settings, false))[5], QStringLiteral("Required minimum cover=25.5 mm"));
}

TEST(AssessmentFigures, WithoutALimitOrValuesTheFiguresSaySo)
{
    const QStringList none = texts(AssessmentFigureRows(SCoverAssessment{}, SAssessmentSettings{}, false));
    EXPECT_EQ(none, list({u"Valid measurements=0", u"Mean cover=–", u"Standard deviation=–", u"Minimum cover=–",
                          u"Maximum cover=–", u"Required minimum cover=none",
                          u"Characteristic value, normal (5 % quantile)=–", u"Characteristic value, log-normal=–",
                          u"Assessment=no limit"}));
    EXPECT_EQ(Render::VerdictColour(NVerdict::NotMet), Render::kWarningColour);
    EXPECT_NE(Render::VerdictColour(NVerdict::Met), Render::VerdictColour(NVerdict::NotMet));
}

class AssessmentPage : public TestSupport::TableTest
{
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        assessment = std::make_unique<CAssessmentPage>(*document, *page);
        assessment->resize(900, 500);
    }
    void TearDown() override
    {
        assessment.reset();
        TableTest::TearDown();
    }
    // The value a person reads beside `label`, as the screen reader names it.
    QString figure(QStringView label) const
    {
        for (QLabel *l : assessment->findChildren<QLabel *>())
            if (l->accessibleName() == label && l->isVisibleTo(assessment.get()))
                return l->text();
        return QStringLiteral("(none)");
    }
    QString heading() const
    {
        for (QLabel *l : assessment->findChildren<QLabel *>())
            if (l->text().startsWith(u"Cover assessment"))
                return l->text();
        return {};
    }
    void setRequired(std::optional<double> mm)
    {
        SAssessmentSettings s = Settings::Current().assessment;
        s.requiredCover = mm;
        Settings::SaveAssessment(s);
        document->UpdateAllViews(nullptr, -1);
        QCoreApplication::processEvents();
    }
    void show()
    {
        assessment->show();
        QCoreApplication::processEvents();
    }

    std::unique_ptr<CAssessmentPage> assessment;
};

TEST_F(AssessmentPage, FollowsTheSelectionAndFallsBackToAllObjects)
{
    document->AddObjects({MakeObject(1, {20, 30}), MakeObject(2, {40, 255, 50}), MakeObject(3, {25})}, false, false);
    show();
    EXPECT_EQ(heading(), QStringLiteral("Cover assessment of all objects (3)"));
    EXPECT_EQ(figure(u"Valid measurements"), QStringLiteral("5"));
    EXPECT_EQ(figure(u"Mean cover"), QStringLiteral("33.0 mm"));
    selectObject(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(heading(), QStringLiteral("Cover assessment of the selected objects (1)"));
    EXPECT_EQ(figure(u"Valid measurements"), QStringLiteral("2")) << "the 255 marker is no cover";
    EXPECT_EQ(figure(u"Maximum cover"), QStringLiteral("50 mm"));
    table().clearSelection();
    QCoreApplication::processEvents();
    EXPECT_EQ(figure(u"Valid measurements"), QStringLiteral("5"));
}

TEST_F(AssessmentPage, ANewRequiredCoverChangesTheVerdictWhileShown)
{
    QList<TVetraObject> objects;
    for (int i = 0; i < 10; ++i)
        objects << MakeObject(std::uint16_t(i + 1), {30, 34});
    document->AddObjects(objects, false, false);
    show();
    EXPECT_EQ(figure(u"Assessment"), QStringLiteral("no limit"));
    setRequired(20.0);
    // 20 covers of 30 and 34: mean 32, s = 2.052, 32 − 1.645 · 2.052 = 28.6.
    EXPECT_EQ(figure(u"Characteristic value, normal (5 % quantile)"), QStringLiteral("28.6 mm"));
    EXPECT_EQ(figure(u"Assessment"), QStringLiteral("met"));
    setRequired(30.0);
    EXPECT_EQ(figure(u"Assessment"), QStringLiteral("not met"));
    EXPECT_EQ(figure(u"Below the required cover"), QStringLiteral("0 of 20 (0 %)"));
}

TEST_F(AssessmentPage, TheTableShowsAMinimumBelowTheRequiredCoverInTheWarningColour)
{
    document->AddObjects({MakeObject(1, {20, 30}), MakeObject(2, {40, 50})}, false, false);
    auto colour = [&](int object, int column) {
        return table().model()->index(CObjectTableModel::HeaderRowOf(object), column).data(Qt::ForegroundRole);
    };
    EXPECT_FALSE(colour(0, Col_MinCover).isValid());
    setRequired(25.0);
    EXPECT_EQ(colour(0, Col_MinCover).value<QColor>(), Render::kWarningColour);
    EXPECT_FALSE(colour(0, Col_MaxCover).isValid());
    EXPECT_FALSE(colour(1, Col_MinCover).isValid());
}

}   // namespace
