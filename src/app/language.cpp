#include "app/language.h"

#include "app/appsettings.h"
#include "app/resourcebundle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <mutex>
#include <vector>

namespace {

struct LanguageState
{
    std::vector<std::unique_ptr<CLanguageLibrary>> loaded;   // libraries stay loaded while the program runs
    const CLanguageLibrary *active = nullptr;
    CFileVersionInfo program;
    CFileVersionInfo language;

    LanguageState()
    {
        program.ReadFromModule();
        language = program;
    }
};

LanguageState &state()
{
    static LanguageState s;
    return s;
}

QString unescape(const QByteArray &text, bool &ok)
{
    QString out = QString::fromUtf8(text);
    QString result;
    result.reserve(out.size());
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i] != u'\\') {
            result += out[i];
            continue;
        }
        if (++i >= out.size()) {
            ok = false;
            return {};
        }
        switch (out[i].unicode()) {
        case u'n': result += u'\n'; break;
        case u'r': result += u'\r'; break;
        case u't': result += u'\t'; break;
        case u'\\': result += u'\\'; break;
        default: ok = false; return {};
        }
    }
    return result;
}

}   // namespace

std::optional<QHash<int, QString>> CLanguageLibrary::ParseStrings(const QByteArray &text)
{
    QHash<int, QString> strings;
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const qsizetype tab = line.indexOf('\t');
        if (tab <= 0)
            return std::nullopt;
        bool ok = false;
        const int id = line.left(tab).toInt(&ok);
        if (!ok || id < 0 || strings.contains(id))
            return std::nullopt;
        ok = true;
        QString value = unescape(line.mid(tab + 1), ok);
        if (!ok)
            return std::nullopt;
        strings.insert(id, std::move(value));
    }
    return strings;
}

std::unique_ptr<CLanguageLibrary> CLanguageLibrary::Load(const QString &path)
{
    const auto files = CResourceBundle::ReadFile(path);
    if (!files || !files->contains(QStringLiteral("version.json")) || !files->contains(QStringLiteral("strings.txt")))
        return nullptr;
    auto library = std::make_unique<CLanguageLibrary>();
    if (!library->m_info.ReadFromDeclaration(files->value(QStringLiteral("version.json")))
        || !library->m_info.HasInfo())
        return nullptr;
    std::optional<QHash<int, QString>> strings = ParseStrings(files->value(QStringLiteral("strings.txt")));
    if (!strings)
        return nullptr;
    library->m_strings = std::move(*strings);
    library->m_path = path;
    return library;
}

std::optional<QString> CLanguageLibrary::find(int id) const
{
    const auto it = m_strings.constFind(id);
    if (it == m_strings.constEnd())
        return std::nullopt;
    return *it;
}

const CFileVersionInfo &ProgramVersionInfo()
{
    return state().program;
}

const CFileVersionInfo &LanguageVersionInfo()
{
    return state().language;
}

QString LanguageCode(const QString &languageFile)
{
    // "Vetradesk_DEU.dll": the three letters are the language's ISO 639-2 code.
    const QString base = QFileInfo(languageFile).completeBaseName();
    const qsizetype bar = base.lastIndexOf(u'_');
    if (bar < 0 || base.size() - bar - 1 != 3)
        return {};
    const QLocale::Language language = QLocale::codeToLanguage(base.mid(bar + 1).toLower(), QLocale::ISO639Part2);
    if (language == QLocale::AnyLanguage || language == QLocale::C)
        return {};
    return QLocale(language).name().section(u'_', 0, 0);
}

namespace {

// Qt's own texts (the print and file dialogs, "Ctrl" in shortcuts) in the
// chosen language, from the translations Qt installs beside itself.
void installQtTranslation(const QString &code)
{
    static QTranslator *installed = nullptr;
    if (!QCoreApplication::instance())
        return;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
    if (code.isEmpty() || code == u"en")
        return;
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QStringLiteral("qtbase_") + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installed = translator.release();
        QCoreApplication::installTranslator(installed);
    }
}

}   // namespace

void LoadLanguageLibrary(const QString &languageFile)
{
    LanguageState &s = state();
    installQtTranslation(QString());
    s.language = s.program;
    if (languageFile.indexOf(QStringLiteral(".dll"), 1) < 1) {
        s.active = nullptr;
        Res::SetStringSource(nullptr);
        return;
    }
    CFileVersionInfo info;
    if (info.ReadFromFile(languageFile) && info.HasInfo() && info.SameMajorMinor(s.program)) {
        if (std::unique_ptr<CLanguageLibrary> library = CLanguageLibrary::Load(languageFile)) {
            s.active = library.get();
            s.loaded.push_back(std::move(library));
            Res::SetStringSource(s.active);
        }
    }
    if (s.active) {
        s.language = s.active->Info();
        installQtTranslation(LanguageCode(s.active->Path()));
    }
}

QList<SLanguageEntry> FindLanguages(const QString &programFolder)
{
    QList<SLanguageEntry> entries;
    entries.append({QString(), ProgramVersionInfo(), true});
    const QDir folder(programFolder);
    const QString pattern = Res::LoadString(Res::IDS_LANGUAGE_PATTERN);
    for (const QString &name : folder.entryList({pattern}, QDir::Files, QDir::Unsorted)) {
        SLanguageEntry e;
        e.path = folder.filePath(name);
        if (!e.info.ReadFromFile(e.path) || !e.info.HasInfo())
            continue;
        e.usable = e.info.SameMajorMinor(ProgramVersionInfo()) && CLanguageLibrary::Load(e.path) != nullptr;
        entries.append(std::move(e));
    }
    return entries;
}

QString LanguageFileOf(const SLanguageEntry &entry)
{
    return entry.path.isEmpty()
               ? Settings::ProgramPath()
               : JoinFolderPath(Settings::ProgramFolder(), QStringLiteral("/")) + entry.info.GetOriginalFileName();
}

bool IsChosenLanguage(const SLanguageEntry &entry)
{
    // The program's own file here is not called by its declared name, so the
    // built-in language compares with the file's real name.
    const QString name = entry.path.isEmpty() ? Settings::ProgramPath().section(u'/', -1)
                                              : entry.info.GetOriginalFileName();
    return Settings::GetLanguageFile(true) == name;
}

QString JoinFolderPath(const QString &folder, const QString &separator)
{
    QString f = folder;
    if (!f.startsWith(u'/'))
        f.prepend(u'/');
    QString joined = f + u'/' + separator + u'/';
    while (joined.contains(QStringLiteral("//")))
        joined.replace(QStringLiteral("//"), QStringLiteral("/"));
    return joined;
}
