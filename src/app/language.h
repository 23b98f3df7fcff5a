#pragma once
// Language libraries: "Vetradesk_XXX.dll" beside the program, data only (a
// resource bundle with version.json and strings.txt). A library is used only
// when its product version has the program's major and minor version; once
// active, every string lookup goes to it.

#include "app/versioninfo.h"
#include "res/resources.h"

#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

class CLanguageLibrary : public Res::IStringSource
{
public:
    // Nothing when the file is not a complete, well-formed library.
    static std::unique_ptr<CLanguageLibrary> Load(const QString &path);
    // The string table of a library ("ID<TAB>TEXT" lines); nothing when a line is malformed.
    static std::optional<QHash<int, QString>> ParseStrings(const QByteArray &text);

    std::optional<QString> find(int id) const override;
    const CFileVersionInfo &Info() const { return m_info; }
    const QString &Path() const { return m_path; }

private:
    QString m_path;
    CFileVersionInfo m_info;
    QHash<int, QString> m_strings;
};

struct SLanguageEntry
{
    QString path;   // empty for the built-in language
    CFileVersionInfo info;
    bool usable = false;   // the version matches the program's
};

// The built-in language first, then every "Vetradesk_*.dll" in `programFolder`
// that declares version information, in the order the folder lists them.
QList<SLanguageEntry> FindLanguages(const QString &programFolder);

// The "LanguageFile" value that chooses `entry`: the program's own path for
// the built-in language, else the library's declared file name in the
// program folder (not the name it was found under).
QString LanguageFileOf(const SLanguageEntry &entry);
// Whether `entry` is the language the "LanguageFile" setting chooses now.
bool IsChosenLanguage(const SLanguageEntry &entry);

// The language record of the active language, and the program's own.
const CFileVersionInfo &ProgramVersionInfo();
const CFileVersionInfo &LanguageVersionInfo();

// Makes `languageFile` the active language if it may be: a path containing
// ".dll" (exactly, after its first character) whose library matches the
// program's version; anything else selects the built-in language when it is
// not a ".dll" path, and otherwise leaves the active language as it was.
// Qt's own texts follow the active language.
void LoadLanguageLibrary(const QString &languageFile);

// The two-letter code of a language library's language ("de" for
// "Vetradesk_DEU.dll"); empty when its name does not say.
QString LanguageCode(const QString &languageFile);

// `folder` and `separator` joined into a folder path with one "/" between
// the parts and at the end ("/opt/vetradesk" + "/" → "/opt/vetradesk/").
QString JoinFolderPath(const QString &folder, const QString &separator);
