#include "data/timetext.h"

#include "res/textformat.h"

#include <algorithm>
#include <cerrno>

namespace TimeText {

std::optional<std::tm> LocalTime(std::int64_t stamp)
{
    const std::time_t t = std::time_t(stamp);
    std::tm tm{};
    if (!localtime_r(&t, &tm))
        return std::nullopt;
    return tm;
}

std::optional<std::int64_t> FromLocal(int year, int month, int day, int hour, int minute, int second)
{
    if (year < 1900 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0
        || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    errno = 0;
    const std::time_t t = std::mktime(&tm);
    if (t == std::time_t(-1) && errno != 0)
        return std::nullopt;
    return std::int64_t(t);
}

bool IsInDaylightSaving(std::int64_t stamp)
{
    const std::optional<std::tm> local = LocalTime(stamp);
    if (!local)
        return false;
    std::tm standard = *local;
    standard.tm_isdst = 0;
    std::tm decided = *local;
    decided.tm_isdst = -1;
    return std::mktime(&standard) != std::mktime(&decided);
}

namespace {

constexpr const char16_t *kDayNames[] = {u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                         u"Thursday", u"Friday", u"Saturday"};
constexpr const char16_t *kMonthNames[] = {u"January", u"February", u"March",     u"April",   u"May",      u"June",
                                           u"July",    u"August",   u"September", u"October", u"November", u"December"};

QString number(int value, int minDigits)
{
    return Res::Format(minDigits == 2 ? QStringView(u"%02d") : QStringView(u"%d"), {value});
}

QString nameOf(const char16_t *name, bool abbreviated)
{
    QString n = QString::fromUtf16(name);
    return abbreviated ? n.left(3) : n;
}

}   // namespace

QString FormatPicture(QStringView picture, const std::tm &t)
{
    QString out;
    const qsizetype n = picture.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = picture[i];
        if (c == u'\'') {
            const qsizetype end = picture.indexOf(u'\'', i + 1);
            out += picture.mid(i + 1, (end < 0 ? n : end) - i - 1);
            i = end < 0 ? n : end + 1;
            continue;
        }
        qsizetype run = 1;
        while (i + run < n && picture[i + run] == c)
            ++run;
        const int hour12 = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
        const bool pm = t.tm_hour >= 12;
        switch (c.unicode()) {
        case u'd':
            if (run <= 2)
                out += number(t.tm_mday, int(run));
            else
                out += nameOf(kDayNames[(t.tm_wday % 7 + 7) % 7], run == 3);
            break;
        case u'M':
            if (run <= 2)
                out += number(t.tm_mon + 1, int(run));
            else
                out += nameOf(kMonthNames[(t.tm_mon % 12 + 12) % 12], run == 3);
            break;
        case u'y': {
            const int year = t.tm_year + 1900;
            if (run == 1)
                out += number(year % 100, 1);
            else if (run == 2)
                out += number(year % 100, 2);
            else
                out += Res::Format(u"%0*d", {int(std::min<qsizetype>(run, 5)), year});
            break;
        }
        case u'h': out += number(hour12, int(std::min<qsizetype>(run, 2))); break;
        case u'H': out += number(t.tm_hour, int(std::min<qsizetype>(run, 2))); break;
        case u'm': out += number(t.tm_min, int(std::min<qsizetype>(run, 2))); break;
        case u's': out += number(t.tm_sec, int(std::min<qsizetype>(run, 2))); break;
        case u't': out += run == 1 ? QString(pm ? u'P' : u'A') : QString::fromUtf16(pm ? u"PM" : u"AM"); break;
        default: out += picture.mid(i, run); break;
        }
        i += run;
    }
    return out;
}

QString FormatTimeStamp(std::int64_t stamp, QStringView datePicture, QStringView timePicture)
{
    if (IsInDaylightSaving(stamp))
        stamp -= 3600;
    const std::optional<std::tm> local = LocalTime(stamp);
    if (!local)
        return {};
    return FormatPicture(datePicture, *local) + u' ' + FormatPicture(timePicture, *local);
}

}   // namespace TimeText
