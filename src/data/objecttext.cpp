#include "data/objecttext.h"

#include "data/statistics.h"
#include "data/timetext.h"
#include "data/units.h"
#include "res/resources.h"

ObjectRow ObjectColumnHeaders()
{
    using namespace Res;
    return {LoadString(IDS_COL_OBJECT_NUMBER), LoadString(IDS_COL_NAME),        LoadString(IDS_COL_DATE_TIME),
            LoadString(IDS_COL_MIN_COVER),     LoadString(IDS_COL_MAX_COVER),   LoadString(IDS_COL_REGIONAL),
            LoadString(IDS_COL_TOTAL),         LoadString(IDS_COL_STORAGE_MODE)};
}

QString FormatCoverStatistic(std::uint8_t regional, double value)
{
    if (value == kNoValue)
        return Res::Format(u" -- %s", {GetUnitText(regional)});
    return Res::Format(u"%0.*f %s", {GetDecimals(regional, Kind_MinMaxCover), value, GetUnitText(regional)});
}

template <class Meas>
ObjectRow ObjectRowTexts(const ObjectFields<Meas> &o, QStringView datePicture, QStringView timePicture)
{
    const SStatistics s = GetStatistics(o);
    return {Res::Format(u"%03d", {int(o.objectNumber)}),
            o.objectName,
            TimeText::FormatTimeStamp(o.timeStamp, datePicture, timePicture),
            FormatCoverStatistic(o.regional, s.min),
            FormatCoverStatistic(o.regional, s.max),
            GetRegionalText(o.regional),
            Res::Format(u"%d", {int(o.measurements.size())}),
            GetStorageModeText(o.storageMode)};
}

template ObjectRow ObjectRowTexts(const ObjectFields<TMeas> &, QStringView, QStringView);
template ObjectRow ObjectRowTexts(const ObjectFields<MEAS_T> &, QStringView, QStringView);
