#include "res/resources.h"

#include <gtest/gtest.h>

#include <map>

using namespace Res;

namespace {

class MapSource : public IStringSource
{
public:
    explicit MapSource(std::map<int, QString> texts) : m_texts(std::move(texts)) {}
    std::optional<QString> find(int id) const override
    {
        const auto it = m_texts.find(id);
        return it == m_texts.end() ? std::nullopt : std::optional<QString>(it->second);
    }

private:
    std::map<int, QString> m_texts;
};

struct SourceGuard
{
    explicit SourceGuard(const IStringSource *s) { SetStringSource(s); }
    ~SourceGuard() { SetStringSource(nullptr); }
};

}   // namespace

TEST(Resources, BuiltinTableIsSortedUniqueAndComplete)
{
    int count = 0;
    const int *ids = BuiltinIds(&count);
    ASSERT_GT(count, 40);
    for (int i = 0; i < count; ++i) {
        EXPECT_TRUE(i == 0 || ids[i - 1] < ids[i]) << "entry " << i;
        EXPECT_FALSE(BuiltinString(ids[i]).isEmpty()) << "id " << ids[i];
    }
    EXPECT_EQ(BuiltinString(IDS_DATE_PATTERN_0), QStringLiteral("MM/dd/yyyy"));
    EXPECT_EQ(BuiltinString(IDS_APP_TITLE), QStringLiteral("Vetradesk"));
    EXPECT_TRUE(BuiltinString(1).isEmpty());
    EXPECT_TRUE(BuiltinString(99999).isEmpty());
}

TEST(Resources, SourceOverridesAndFallsBack)
{
    ASSERT_EQ(StringSource(), nullptr);
    const MapSource german({{IDS_UNIT_MM, QStringLiteral("Millimeter")},
                            {IDS_EXPORT_CREATING, QStringLiteral("Erstelle %s ...")},
                            {IDS_NOT_AVAILABLE, QString()},
                            {IDS_ERR_FILE_READ, QStringLiteral("%d %f %c %s %s %s")}});
    {
        SourceGuard guard(&german);
        EXPECT_EQ(LoadString(IDS_UNIT_MM), QStringLiteral("Millimeter"));
        EXPECT_EQ(LoadString(IDS_UNIT_INCH), QStringLiteral("inch"));
        EXPECT_EQ(LoadString(IDS_NOT_AVAILABLE), QString());   // an empty translation still counts
        EXPECT_EQ(FormatString(IDS_EXPORT_CREATING, {QStringLiteral("a.csv")}), QStringLiteral("Erstelle a.csv ..."));
        // A translated format whose conversions do not fit the arguments.
        EXPECT_EQ(FormatString(IDS_ERR_FILE_READ, {QStringLiteral("x.csv"), QStringLiteral("denied")}),
                  QStringLiteral("     "));
    }
    EXPECT_EQ(StringSource(), nullptr);
    EXPECT_EQ(LoadString(IDS_UNIT_MM), QStringLiteral("mm"));
    EXPECT_EQ(LoadString(IDS_NOT_AVAILABLE), QStringLiteral("n/a"));
}
