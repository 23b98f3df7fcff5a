#pragma once
// Helpers shared by the test suites.

#include "data/measurement.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <ctime>
#include <initializer_list>

namespace TestSupport {

// What every suite's main() sets first: a fixed time zone with summer time,
// a C locale, and private, empty configuration and runtime folders (removed
// at the end), so that no test sees the user's settings.
class CTestEnvironment
{
public:
    CTestEnvironment();

private:
    QTemporaryDir m_home;
};

// Path of a file below tests/fixtures.
QString FixturePath(const QString &name);
// Path of a file of the source tree ("samples/demo.csv").
QString SourcePath(const QString &relative);

QByteArray ReadBytes(const QString &path);
void WriteBytes(const QString &path, const QByteArray &bytes);

// Sets TZ for the scope and restores the previous zone afterwards.
class ScopedTimeZone
{
public:
    explicit ScopedTimeZone(const char *zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone &) = delete;
    ScopedTimeZone &operator=(const ScopedTimeZone &) = delete;

private:
    QByteArray m_previous;
    bool m_hadPrevious;
};

// An object with every instrument text filled in and the given covers
// (number 1.., raw diameter 16).
TVetraObject MakeObject(std::uint16_t number, std::initializer_list<int> covers, std::uint8_t regional = 0);

}   // namespace TestSupport
