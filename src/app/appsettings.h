#pragma once
// The program's settings: one process-wide record read once at start
// (LoadSettings) and written through to the settings store at each change.

#include "data/coverassessment.h"

#include <QString>

#include <cstdint>

class CSettingsStore;

struct SSettings
{
    QString languageFile;             // a language library, or the program's own file for the built-in language
    QString dataFolder;               // kept, not used
    std::uint32_t dtFormat = 0;       // date pattern index × 256 + time pattern index
    QString pfad;                     // the program folder: help files and the upgrade tool
    SAssessmentSettings assessment;   // the required cover (none: no limit) and the quantile
};

namespace Settings {

inline constexpr int kMaxStringLength = 259;

// The store and program path the operations below use (set by start-up,
// or by a test). The caller keeps the store alive.
void Attach(CSettingsStore *store, const QString &programPath);
CSettingsStore *Store();
const QString &ProgramPath();
QString ProgramFolder();

const SSettings &Current();

// Reads the four values, writes back the defaults of missing ones, applies
// the stored port map, then checks the program folder.
void LoadSettings();
void CheckProgramFolder();
// The Save and Set functions change the settings in memory at once and say
// whether the store holds the change too.
bool SaveDateTimeFormat(std::uint32_t value);
// Stored only once chosen: a store without them reads as no limit and 5 %.
bool SaveAssessment(const SAssessmentSettings &assessment);
// Stores the path and switches the active language at once.
bool SetLanguageFile(const QString &path);
QString GetLanguageFile(bool fileNameOnly);
// The pattern chosen by DTFormat (an index outside 0..3 means 0), and its string id.
QString GetDatePattern(int *id = nullptr);
QString GetTimePattern(int *id = nullptr);
// The shown form of a time stamp in the chosen patterns.
QString FormatTimeStamp(std::int64_t stamp);
void WriteUpgradeToolSettings();

// The key path of the program's settings and of the port map below it.
QString SettingsKey();
QString PortMapKey();

}   // namespace Settings
