// The cover assessment against hand-computed figures.
#include "data/coverassessment.h"
#include "data/units.h"

#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <cmath>

using TestSupport::MakeObject;

namespace {

const std::vector<double> kTwenty{22, 25, 27, 28, 30, 31, 31, 32, 33, 34, 35, 35, 36, 37, 38, 40, 41, 42, 44, 47};

TEST(CoverAssessment, TheNormalQuantileMatchesTheTablesInBothTails)
{
    EXPECT_NEAR(NormalQuantile(0.95), 1.6448536269514715, 1e-12);
    EXPECT_NEAR(NormalQuantile(0.975), 1.9599639845400536, 1e-12);
    EXPECT_NEAR(NormalQuantile(0.001), -3.090232306167813, 1e-12);
    EXPECT_NEAR(NormalQuantile(0.5), 0.0, 1e-15);
    EXPECT_TRUE(std::isnan(NormalQuantile(0.0)));
    EXPECT_TRUE(std::isnan(NormalQuantile(1.0)));
}

TEST(CoverAssessment, TwentyValuesGiveTheFiguresBothCharacteristicValuesAndTheVerdict)
{
    SAssessmentSettings settings;
    settings.requiredCover = 25;
    const SCoverAssessment a = AssessCovers(kTwenty, settings);
    EXPECT_EQ(a.count, 20);
    EXPECT_NEAR(*a.mean, 34.4, 1e-12);
    EXPECT_NEAR(*a.sd, 6.467733679378614, 1e-12);   // n − 1, not cut to millimetres
    EXPECT_EQ(*a.min, 22);
    EXPECT_EQ(*a.max, 47);
    EXPECT_EQ(a.belowCount, 1);
    EXPECT_NEAR(*a.belowShare, 0.05, 1e-12);
    EXPECT_NEAR(*a.characteristicNormal, 23.7615247993179, 1e-9);
    EXPECT_NEAR(*a.characteristicLogNormal, 24.57953546925391, 1e-9);
    EXPECT_EQ(a.verdict, NVerdict::NotMet);   // 23.76 < 25

    settings.requiredCover = 23.5;
    EXPECT_EQ(AssessCovers(kTwenty, settings).verdict, NVerdict::Met);
    settings.quantile = 0.10;
    EXPECT_NEAR(*AssessCovers(kTwenty, settings).characteristicNormal, 26.111265777666794, 1e-9);
    settings.requiredCover.reset();
    const SCoverAssessment open = AssessCovers(kTwenty, settings);
    EXPECT_EQ(open.verdict, NVerdict::NoLimit);
    EXPECT_FALSE(open.belowShare);
    EXPECT_TRUE(open.characteristicNormal);
}

TEST(CoverAssessment, FewValuesNoValueAndAZeroCover)
{
    SAssessmentSettings settings;
    settings.requiredCover = 20;
    std::vector<double> nineteen(kTwenty.begin(), kTwenty.end() - 1);
    const SCoverAssessment few = AssessCovers(nineteen, settings);
    EXPECT_EQ(few.verdict, NVerdict::TooFew);
    EXPECT_TRUE(few.characteristicNormal) << "the figures are still given";

    const SCoverAssessment none = AssessCovers({}, settings);
    EXPECT_EQ(none.count, 0);
    EXPECT_FALSE(none.mean);
    EXPECT_FALSE(none.sd);
    EXPECT_FALSE(none.belowShare);
    EXPECT_EQ(none.verdict, NVerdict::TooFew);
    const SCoverAssessment one = AssessCovers({30}, settings);
    EXPECT_EQ(*one.mean, 30);
    EXPECT_FALSE(one.sd);
    EXPECT_FALSE(one.characteristicNormal);

    std::vector<double> withZero = kTwenty;
    withZero[0] = 0;
    const SCoverAssessment zero = AssessCovers(withZero, settings);
    EXPECT_TRUE(zero.characteristicNormal);
    EXPECT_FALSE(zero.characteristicLogNormal) << "no logarithm of 0 mm";
}

TEST(CoverAssessment, ValidCoversInMillimetresWhateverTheRegionalSetting)
{
    // An ASTM inch object keeps its millimetres; the 255 marker is left out.
    const TVetraObject inch = MakeObject(1, {30, 255, 40}, Regional_AstmInch);
    std::vector<double> covers;
    AppendValidCovers(inch, covers);
    EXPECT_EQ(covers, (std::vector<double>{30, 40}));
    AppendValidCovers(MakeObject(2, {25}, Regional_Metric), covers);
    EXPECT_EQ(covers, (std::vector<double>{30, 40, 25}));
}

TEST(CoverAssessment, AnObjectIsBelowTheLimitOnlyByAValidCoverUnderIt)
{
    EXPECT_TRUE(HasCoverBelow(MakeObject(1, {35, 29, 40}), 30));
    EXPECT_FALSE(HasCoverBelow(MakeObject(1, {30, 40}), 30)) << "equal meets the limit";
    EXPECT_FALSE(HasCoverBelow(MakeObject(1, {255, 40}), 30)) << "no cover is no low cover";
    EXPECT_FALSE(HasCoverBelow(MakeObject(1, {}), 30));
    // Millimetres decide, whatever unit the object shows.
    EXPECT_TRUE(HasCoverBelow(MakeObject(1, {29}, Regional_AstmInch), 30));
}

}   // namespace
