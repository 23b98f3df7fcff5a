#include "app/versioninfo.h"

#include "app/resourcebundle.h"
#include "data/version.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <functional>

const char *const CFileVersionInfo::kStringNames[StringCount] = {
    "CompanyName",      "FileDescription", "FileVersion",      "InternalName", "LegalCopyright",
    "OriginalFileName", "ProductName",     "ProductVersion",   "Comments",     "LegalTrademarks",
    "PrivateBuild",     "SpecialBuild",    "RequiredOSVersion"};

namespace {

// The program's own declaration, in the form a language library carries.
constexpr char kProgramDeclaration[] = R"({
    "fixedSize": 52,
    "fileVersion": "1.0.1.0",
    "productVersion": "1.0.1.0",
    "translations": [{
        "language": 1033, "codepage": 1252,
        "strings": {
            "CompanyName": "Quelix",
            "FileDescription": "Vetradesk",
            "FileVersion": "1.0.1.0",
            "InternalName": "English",
            "LegalCopyright": "Copyright (C) 2026 Quelix",
            "OriginalFileName": "Vetradesk.exe",
            "ProductName": "Vetradesk",
            "ProductVersion": "1.0.1.0",
            "Comments": "Linking Software for QUELIX Vetrameter"
        }
    }]
})";

struct LanguageCode
{
    QLocale::Language language;
    std::uint16_t primary;
};
constexpr LanguageCode kLanguages[] = {
    {QLocale::English, 0x09},    {QLocale::German, 0x07},   {QLocale::French, 0x0C},  {QLocale::Spanish, 0x0A},
    {QLocale::Italian, 0x10},    {QLocale::Japanese, 0x11}, {QLocale::Dutch, 0x13},   {QLocale::Polish, 0x15},
    {QLocale::Portuguese, 0x16}, {QLocale::Russian, 0x19},  {QLocale::Swedish, 0x1D}, {QLocale::Czech, 0x05},
    {QLocale::Chinese, 0x04},    {QLocale::Korean, 0x12},   {QLocale::Danish, 0x06},  {QLocale::Finnish, 0x0B},
};

}   // namespace

std::uint16_t CFileVersionInfo::UserLanguage()
{
    const QLocale::Language language = QLocale::system().language();
    for (const LanguageCode &l : kLanguages)
        if (l.language == language)
            return std::uint16_t(0x0400 | l.primary);   // the language's default sub-language
    return 0x0409;
}

void CFileVersionInfo::Clear()
{
    m_file = m_product = 0;
    for (QString &s : m_strings)
        s.clear();
}

bool CFileVersionInfo::ReadFromDeclaration(const QByteArray &json)
{
    Clear();
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    if (!doc.isObject())
        return false;
    const QJsonObject root = doc.object();
    if (root.value(QStringLiteral("fixedSize")).toInt() == kFixedSize) {
        m_file = CVersion::Parse(root.value(QStringLiteral("fileVersion")).toString()).value();
        m_product = CVersion::Parse(root.value(QStringLiteral("productVersion")).toString()).value();
    }
    const QJsonArray translations = root.value(QStringLiteral("translations")).toArray();
    if (translations.isEmpty())
        return false;
    // The first match wins: the user's language, its primary language, a
    // neutral one, English, else the first entry.
    const int user = UserLanguage();
    auto languageOf = [&](const QJsonValue &t) { return t.toObject().value(QStringLiteral("language")).toInt(); };
    const std::function<bool(int)> rules[] = {
        [&](int l) { return l == user; },
        [&](int l) { return (l & 0xFF) == (user & 0xFF); },
        [&](int l) { return l == 0 || (l & 0xFF) == 0; },
        [&](int l) { return l == 9 || (l & 0xFF) == 9; },
    };
    QJsonObject chosen = translations.first().toObject();
    bool found = false;
    for (const auto &rule : rules) {
        for (const QJsonValue &t : translations) {
            if (rule(languageOf(t))) {
                chosen = t.toObject();
                found = true;
                break;
            }
        }
        if (found)
            break;
    }
    const QJsonObject strings = chosen.value(QStringLiteral("strings")).toObject();
    for (int i = 0; i < StringCount; ++i) {
        const QString name = QString::fromLatin1(kStringNames[i]);
        for (auto it = strings.begin(); it != strings.end(); ++it)
            if (it.key().compare(name, Qt::CaseInsensitive) == 0)
                m_strings[i] = it.value().toString();
    }
    return true;
}

bool CFileVersionInfo::ReadFromFile(const QString &path)
{
    Clear();
    const auto files = CResourceBundle::ReadFile(path);
    if (!files || !files->contains(QStringLiteral("version.json")))
        return false;
    return ReadFromDeclaration(files->value(QStringLiteral("version.json")));
}

bool CFileVersionInfo::ReadFromModule()
{
    return ReadFromDeclaration(QByteArray(kProgramDeclaration));
}

bool CFileVersionInfo::SameMajorMinor(const CFileVersionInfo &other) const
{
    return GetProductVersionPart(3) == other.GetProductVersionPart(3)
           && GetProductVersionPart(2) == other.GetProductVersionPart(2);
}

QString CFileVersionInfo::ProductVersionText() const
{
    return CVersion(m_product).toString(CVersion::Style::FourParts);
}
