#include "data/statistics.h"
#include "data/units.h"

#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <functional>

using TestSupport::MakeObject;

namespace {

object_t Project(const char *name, std::uint16_t number, std::initializer_list<int> covers, std::uint8_t regional = 0)
{
    object_t o = ToProjectObject(MakeObject(number, covers, regional), false);
    o.objectName = QString::fromUtf8(name);
    return o;
}

std::vector<double> Values(const SStatistics &s)
{
    return {double(s.count), s.mean, s.min, s.max, s.stdDev};
}

}   // namespace

TEST(Statistics, Values)
{
    for (std::uint8_t r : {0, 1, 2, 3, 255}) {
        EXPECT_EQ(Values(GetStatistics(MakeObject(1, {}, r))),
                  (std::vector<double>{0, kNoValue, kNoValue, kNoValue, kNoValue}));
        EXPECT_EQ(Values(GetStatistics(MakeObject(1, {255, 255}, r))),
                  (std::vector<double>{2, kNoValue, kNoValue, kNoValue, kNoValue}));
    }
    // Cut to whole millimetres first (21.33 -> 21, sqrt(7/3) = 1.53 -> 1), then inches.
    EXPECT_EQ(Values(GetStatistics(MakeObject(1, {20, 21, 255, 23}))), (std::vector<double>{4, 21, 20, 23, 1}));
    const SStatistics in = GetStatistics(ToProjectObject(MakeObject(1, {20, 21, 255, 23}, Regional_AstmInch), false));
    EXPECT_EQ(in.count, 4);
    EXPECT_DOUBLE_EQ(in.mean, 21 / 25.4);
    EXPECT_DOUBLE_EQ(in.min, 20 / 25.4);
    EXPECT_DOUBLE_EQ(in.max, 23 / 25.4);
    EXPECT_DOUBLE_EQ(in.stdDev, 1 / 25.4);
    // Sample standard deviation: 118.30 for these.
    EXPECT_EQ(Values(GetStatistics(MakeObject(1, {0, 254, 100, 7}))), (std::vector<double>{4, 90, 0, 254, 118}));
    // One valid cover has no deviation, in either unit.
    EXPECT_EQ(Values(GetStatistics(MakeObject(1, {255, 40}))), (std::vector<double>{2, 40, 40, 40, kNoValue}));
    EXPECT_EQ(GetStatistics(MakeObject(1, {255, 40}, Regional_AstmInch)).stdDev, kNoValue);

    const TVetraObject mm = MakeObject(1, {35, 255});
    EXPECT_TRUE(GetCoverValue(mm, 0).valid);
    EXPECT_EQ(GetCoverValue(mm, 0).value, 35.0);
    EXPECT_FALSE(GetCoverValue(mm, 1).valid);
    EXPECT_DOUBLE_EQ(GetCoverValue(MakeObject(1, {35}, Regional_AstmInch), 0).value, 35 / 25.4);
    EXPECT_THROW(GetCoverValue(mm, 2), std::out_of_range);
    EXPECT_THROW(GetCoverValue(mm, -1), std::out_of_range);
}

TEST(SameObject, ComparesOnlyTheRecording)
{
    const TVetraObject base = MakeObject(4, {30, 255, 41});
    TVetraObject other = base;
    other.objectName = QStringLiteral("renamed");
    other.comment = QStringLiteral("a comment");
    other.timeStamp = 123456;
    other.regional = Regional_AstmInch;
    other.softwareVersion = QStringLiteral("9.9");
    other.signature = QStringLiteral("other");
    other.version = CVersion(7);
    EXPECT_TRUE(IsSameObject(base, other));
    EXPECT_TRUE(IsSameObject(ToProjectObject(other, true), base));

    const std::vector<std::function<void(TVetraObject &)>> changes = {
        [](TVetraObject &o) { o.rawDefaultBarDiameter = 20; },
        [](TVetraObject &o) { o.objectNumber = 5; },
        [](TVetraObject &o) { o.serialNumber = QStringLiteral("vm-00417"); },
        [](TVetraObject &o) { o.deviceName += u' '; },
        [](TVetraObject &o) { o.hardwareIndex = QStringLiteral("C"); },
        [](TVetraObject &o) { o.neighborCorrection = 50; },
        [](TVetraObject &o) { o.storageMode = 1; },
        [](TVetraObject &o) { o.measurements.pop_back(); },
        [](TVetraObject &o) { o.measurements[1].cover = 30; },
        [](TVetraObject &o) { o.measurements[2].rawDiameter = 0; },
        [](TVetraObject &o) { o.measurements[0].number = 9; },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        TVetraObject changed = base;
        changes[i](changed);
        EXPECT_FALSE(IsSameObject(base, changed)) << "change " << i;
        EXPECT_FALSE(IsSameObject(ToProjectObject(changed, false), ToProjectObject(base, false))) << "change " << i;
    }
}

TEST(SortModes, KeysAndDirections)
{
    auto order = [](int mode, std::vector<object_t> v) {
        std::sort(v.begin(), v.end(),
                  [mode](const object_t &a, const object_t &b) { return CompareObjects(mode, a, b) < 0; });
        QStringList names;
        for (const object_t &o : v)
            names << o.objectName;
        return names.join(u' ').toStdString();
    };
    object_t five = Project("5", 5, {}), threeOld = Project("3old", 3, {}), threeNew = Project("3new", 3, {});
    five.timeStamp = 1000, threeOld.timeStamp = 2000, threeNew.timeStamp = 3000;
    EXPECT_EQ(order(1, {five, threeNew, threeOld}), "3old 3new 5");
    EXPECT_EQ(order(2, {five, threeOld, threeNew}), "5 3new 3old");

    // Signed time stamps; equal stamps by number.
    object_t later = Project("later", 1, {});
    later.timeStamp = 10;
    five.timeStamp = threeNew.timeStamp = -5;
    EXPECT_EQ(order(3, {later, five, threeNew}), "3new 5 later");
    EXPECT_EQ(order(4, {threeNew, later, five}), "later 5 3new");

    // Names by UTF-16 code unit, case-sensitive.
    const std::vector<object_t> names = {Project("b", 1, {}), Project("Z", 2, {}), Project("a", 3, {}),
                                         Project("\u00c4", 4, {})};
    EXPECT_EQ(order(5, names), "Z a b \u00c4");
    EXPECT_EQ(order(6, names), "\u00c4 b a Z");

    // Minimum and maximum in the object's own unit; "no value" sorts as 65535.
    const std::vector<object_t> covers = {Project("mm30-90", 1, {30, 90}), Project("none", 2, {}),
                                          Project("mm40-50", 3, {40, 50}),
                                          Project("in200-250", 4, {200, 250}, Regional_AstmInch)};
    EXPECT_EQ(order(7, covers), "in200-250 mm30-90 mm40-50 none");
    EXPECT_EQ(order(8, covers), "none mm40-50 mm30-90 in200-250");
    EXPECT_EQ(order(9, covers), "in200-250 mm40-50 mm30-90 none");
    EXPECT_EQ(order(10, covers), "none mm30-90 mm40-50 in200-250");

    std::vector<object_t> settings = {Project("r3", 1, {1, 2, 3}, 3), Project("r0", 2, {1}, 0),
                                      Project("r1", 3, {1, 2}, 1)};
    settings[0].storageMode = 1, settings[1].storageMode = 255, settings[2].storageMode = 0;
    EXPECT_EQ(order(11, settings), "r0 r1 r3");
    EXPECT_EQ(order(12, settings), "r3 r1 r0");
    EXPECT_EQ(order(13, settings), "r0 r1 r3");
    EXPECT_EQ(order(14, settings), "r3 r1 r0");
    EXPECT_EQ(order(15, settings), "r1 r3 r0");
    EXPECT_EQ(order(16, settings), "r0 r3 r1");
    for (int mode : {0, 17, -1})
        EXPECT_EQ(CompareObjects(mode, five, later), 0);
}

TEST(Conversions, ProjectAndTransferForms)
{
    TVetraObject t = MakeObject(9, {12, 255, 200}, Regional_Japanese);
    t.version = CVersion(7);
    t.storageMode = 1;
    t.comment = QStringLiteral("c\r\n\"q\"");
    t.timeStamp = 1700000000;
    t.measurements[1].number = 42;

    const object_t p = ToProjectObject(t, false);
    EXPECT_FALSE(p.selected || p.expanded);
    EXPECT_EQ(p.diagramOrder, -1);
    EXPECT_EQ(p.position, -1);
    EXPECT_TRUE(ToProjectObject(t, true).selected);

    // Both directions copy every field, also those the same-object test ignores.
    const TVetraObject back = ToTransferObject(p);
    EXPECT_TRUE(IsSameObject(back, t));
    EXPECT_EQ(back.measurements[1].number, 42);
    EXPECT_EQ(back.version, t.version);
    EXPECT_EQ(back.softwareVersion + back.signature + back.comment + back.objectName,
              t.softwareVersion + t.signature + t.comment + t.objectName);
    EXPECT_EQ(back.regional, t.regional);
    EXPECT_EQ(back.timeStamp, 1700000000);

    // A record without a time stamp enters the project at the current time.
    t.timeStamp = 0;
    const std::int64_t before = std::time(nullptr);
    const object_t now = ToProjectObject(t, true);
    const std::int64_t after = std::time(nullptr);
    EXPECT_GE(now.timeStamp, before);
    EXPECT_LE(now.timeStamp, after);
}
