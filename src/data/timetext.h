#pragma once
// Local time and the date/time picture strings of the settings
// (d dd M MM yyyy h hh H HH mm ss t tt), always in the invariant locale.

#include <QString>
#include <QStringView>

#include <cstdint>
#include <ctime>
#include <optional>

namespace TimeText {

// Broken-down local time of `stamp` (seconds since 1970), or nothing when the
// platform cannot convert it.
std::optional<std::tm> LocalTime(std::int64_t stamp);

// Seconds since 1970 of a local calendar time, daylight-saving time decided
// by the time-zone rules. Nothing when the fields are out of range (year
// below 1900, month outside 1..12, day outside 1..31, hour above 23, minute or
// second above 59) or the time cannot be represented.
std::optional<std::int64_t> FromLocal(int year, int month, int day, int hour, int minute, int second);

// True when the local time of `stamp` lies in daylight-saving time: building
// the time from its local fields gives different results with the
// daylight-saving flag 0 and -1.
bool IsInDaylightSaving(std::int64_t stamp);

// Formats `t` with a picture string. Text in single quotes is copied as it
// stands; other letters not listed above are copied too.
QString FormatPicture(QStringView picture, const std::tm &t);

// The object table's form of a time stamp: date picture, one blank, time
// picture; a stamp in summer time is shown one hour earlier, as the
// instrument records standard time.
QString FormatTimeStamp(std::int64_t stamp, QStringView datePicture, QStringView timePicture);

}   // namespace TimeText
