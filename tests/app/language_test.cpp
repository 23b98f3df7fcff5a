// Language libraries: which files are used, and that no damaged or foreign
// file is ever loaded.
#include "app/appsettings.h"
#include "app/language.h"
#include "app/settingsstore.h"
#include "app/versioninfo.h"
#include "res/resources.h"
#include "support/testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

const QString kGermanLibrary = QStringLiteral(VETRA_PROGRAM_DIR "/Vetradesk_DEU.dll");

QByteArray Declaration(const QString &productVersion, const QString &originalName, const QString &internalName)
{
    return QStringLiteral(R"({"fixedSize": 52, "fileVersion": "%1", "productVersion": "%1",
        "translations": [{"language": 1036, "codepage": 1252, "strings": {
            "FileVersion": "%1", "ProductVersion": "%1", "InternalName": "%3",
            "OriginalFileName": "%2", "ProductName": "Vetradesk"}}]})")
        .arg(productVersion, originalName, internalName)
        .toUtf8();
}

// A library made by the resource compiler from the given files.
bool MakeLibrary(const QString &path, const QHash<QString, QByteArray> &files)
{
    QTemporaryDir work;
    QByteArray qrc = "<!DOCTYPE RCC><RCC version=\"1.0\"><qresource prefix=\"/\">";
    for (auto it = files.begin(); it != files.end(); ++it) {
        TestSupport::WriteBytes(work.filePath(it.key()), it.value());
        qrc += "<file>" + it.key().toUtf8() + "</file>";
    }
    qrc += "</qresource></RCC>";
    TestSupport::WriteBytes(work.filePath(QStringLiteral("library.qrc")), qrc);
    QProcess rcc;
    rcc.setWorkingDirectory(work.path());
    rcc.start(QStringLiteral("/usr/lib/qt6/libexec/rcc"), {QStringLiteral("-binary"), QStringLiteral("-no-compress"),
                                                           QStringLiteral("library.qrc"), QStringLiteral("-o"), path});
    return rcc.waitForFinished(30000) && rcc.exitStatus() == QProcess::NormalExit && rcc.exitCode() == 0;
}

const QByteArray kFrenchStrings = "# test\n57344\tVetradesk FR\r\n1002\tLe dossier est incorrect.\\nVoir\n";

bool MakeFrench(const QString &path, const QString &version, const QString &originalName)
{
    return MakeLibrary(
        path, {{QStringLiteral("version.json"), Declaration(version, originalName, QStringLiteral("Francais"))},
               {QStringLiteral("strings.txt"), kFrenchStrings}});
}

class Languages : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QFile::exists(kGermanLibrary));
        programPath = dir.filePath(QStringLiteral("vetradesk"));
    }
    void TearDown() override
    {
        Settings::Attach(nullptr, QString());
        LoadLanguageLibrary(programPath);
        Res::SetStringSource(nullptr);
    }
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    const SLanguageEntry *Find(const QList<SLanguageEntry> &list, const QString &file) const
    {
        for (const SLanguageEntry &e : list)
            if (e.path == file)
                return &e;
        return nullptr;
    }

    QTemporaryDir dir;
    QString programPath;
};

TEST_F(Languages, GermanLibraryIsFoundAndSwitchesEveryText)
{
    ASSERT_TRUE(QFile::copy(kGermanLibrary, path("Vetradesk_DEU.dll")));
    const QList<SLanguageEntry> list = FindLanguages(dir.path());
    ASSERT_EQ(list.size(), 2);
    EXPECT_TRUE(list[0].path.isEmpty());
    EXPECT_EQ(list[0].info.GetInternalName(), QStringLiteral("English"));
    EXPECT_EQ(list[1].info.GetInternalName(), QStringLiteral("Deutsch"));
    EXPECT_TRUE(list[1].usable);

    LoadLanguageLibrary(path("Vetradesk_DEU.dll"));
    ASSERT_NE(Res::StringSource(), nullptr);
    EXPECT_EQ(Res::LoadString(Res::IDS_ERR_FILE_READ), QStringLiteral("%s: Die Datei kann nicht gelesen werden: %s"));
    EXPECT_EQ(LanguageVersionInfo().GetInternalName(), QStringLiteral("Deutsch"));
    EXPECT_EQ(Res::LoadString(Res::IDS_DATE_PATTERN_0), QStringLiteral("MM/dd/yyyy"));
    // Qt's own texts (shortcut names, the print dialog) follow.
    ASSERT_TRUE(QCoreApplication::instance());
    EXPECT_EQ(QCoreApplication::translate("QShortcut", "Ctrl"), QStringLiteral("Strg"));

    LoadLanguageLibrary(programPath);   // the built-in language again, without a restart
    EXPECT_EQ(Res::StringSource(), nullptr);
    EXPECT_EQ(LanguageVersionInfo().GetInternalName(), QStringLiteral("English"));
    EXPECT_EQ(QCoreApplication::translate("QShortcut", "Ctrl"), QStringLiteral("Ctrl"));

    EXPECT_EQ(LanguageCode(QStringLiteral("/x/Vetradesk_FRA.dll")), QStringLiteral("fr"));
    EXPECT_EQ(LanguageCode(QStringLiteral("/x/Vetradesk.dll")), QString());
    EXPECT_EQ(LanguageCode(QStringLiteral("/x/Vetradesk_XYZ.dll")), QString());
}

// Only the names the program reads as data may fall back to the built-in table.
TEST_F(Languages, GermanLibraryTranslatesEveryUserText)
{
    const std::unique_ptr<CLanguageLibrary> german = CLanguageLibrary::Load(kGermanLibrary);
    ASSERT_NE(german, nullptr);
    const QList<int> dataNames{145, 150, 151, 152, 153, 155, 161, 162, 163, 1020};
    int count = 0;
    const int *ids = Res::BuiltinIds(&count);
    ASSERT_GT(count, 100);
    QStringList missing;
    for (int i = 0; i < count; ++i)
        if (!dataNames.contains(ids[i]) && !german->find(ids[i]))
            missing.append(QString::number(ids[i]));
    EXPECT_TRUE(missing.isEmpty()) << "untranslated: " << missing.join(QStringLiteral(", ")).toStdString();
}

TEST_F(Languages, OnlyTheProgramsMajorAndMinorVersionIsUsed)
{
    ASSERT_TRUE(MakeFrench(path("Vetradesk_F11.dll"), QStringLiteral("1.1.0.0"), QStringLiteral("Vetradesk_F11.dll")));
    ASSERT_TRUE(MakeFrench(path("Vetradesk_F20.dll"), QStringLiteral("2.0.1.0"), QStringLiteral("Vetradesk_F20.dll")));
    ASSERT_TRUE(MakeFrench(path("Vetradesk_F10.dll"), QStringLiteral("1.0.7.3"), QStringLiteral("Vetradesk_F10.dll")));
    const QList<SLanguageEntry> list = FindLanguages(dir.path());
    for (const char *name : {"Vetradesk_F11.dll", "Vetradesk_F20.dll"}) {
        const SLanguageEntry *e = Find(list, path(name));
        EXPECT_TRUE(!e || !e->usable) << name;
    }
    const SLanguageEntry *same = Find(list, path("Vetradesk_F10.dll"));
    ASSERT_NE(same, nullptr);
    EXPECT_TRUE(same->usable);

    // Started with the settings naming the 1.1 library: the built-in language.
    CSettingsStore store(dir.filePath(QStringLiteral("settings.json")));
    ASSERT_TRUE(store.Write(Settings::SettingsKey(), QStringLiteral("LanguageFile"), path("Vetradesk_F11.dll")));
    Settings::Attach(&store, programPath);
    Settings::LoadSettings();
    LoadLanguageLibrary(Settings::Current().languageFile);
    EXPECT_EQ(Res::StringSource(), nullptr);
    EXPECT_EQ(Res::LoadString(57344), QStringLiteral("Vetradesk"));
    EXPECT_EQ(Settings::Current().languageFile, path("Vetradesk_F11.dll")) << "the setting itself stays";

    // With a matching library active, a mismatching one leaves it active.
    LoadLanguageLibrary(path("Vetradesk_F10.dll"));
    ASSERT_EQ(Res::LoadString(57344), QStringLiteral("Vetradesk FR"));
    EXPECT_EQ(Res::LoadString(Res::IDS_FOLDER_INCORRECT), QStringLiteral("Le dossier est incorrect.\nVoir"));
    EXPECT_EQ(Res::LoadString(Res::IDS_CAPTION_ERROR), Res::BuiltinString(Res::IDS_CAPTION_ERROR))
        << "missing id falls back";
    LoadLanguageLibrary(path("Vetradesk_F20.dll"));
    EXPECT_EQ(Res::LoadString(57344), QStringLiteral("Vetradesk FR"));
    EXPECT_EQ(LanguageVersionInfo().GetOriginalFileName(), QStringLiteral("Vetradesk_F10.dll"));
}

TEST_F(Languages, LibraryIsStoredUnderItsOriginalFileName)
{
    ASSERT_TRUE(MakeFrench(path("Vetradesk_XYZ.dll"), QStringLiteral("1.0.1.0"), QStringLiteral("Vetradesk_FRA.dll")));
    const SLanguageEntry *e = nullptr;
    const QList<SLanguageEntry> list = FindLanguages(dir.path());
    e = Find(list, path("Vetradesk_XYZ.dll"));
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->usable);
    EXPECT_EQ(e->info.GetOriginalFileName(), QStringLiteral("Vetradesk_FRA.dll"));

    CSettingsStore store(dir.filePath(QStringLiteral("settings.json")));
    Settings::Attach(&store, programPath);
    Settings::LoadSettings();
    const QString chosen = JoinFolderPath(dir.path(), QStringLiteral("/")) + e->info.GetOriginalFileName();
    Settings::SetLanguageFile(chosen);
    EXPECT_EQ(Res::StringSource(), nullptr) << "no such file: the language does not change";
    EXPECT_EQ(Settings::GetLanguageFile(true), QStringLiteral("Vetradesk_FRA.dll"));
    EXPECT_EQ(CSettingsStore(store.Path()).ReadString(Settings::SettingsKey(), QStringLiteral("LanguageFile")), chosen);

    CSettingsStore next(store.Path());   // the next start
    Settings::Attach(&next, programPath);
    Settings::LoadSettings();
    LoadLanguageLibrary(Settings::Current().languageFile);
    EXPECT_EQ(Res::StringSource(), nullptr);
}

TEST_F(Languages, UpperCaseExtensionMeansTheBuiltInLanguage)
{
    ASSERT_TRUE(QFile::copy(kGermanLibrary, path("Vetradesk_DEU.DLL")));
    LoadLanguageLibrary(kGermanLibrary);
    ASSERT_NE(Res::StringSource(), nullptr);
    LoadLanguageLibrary(path("Vetradesk_DEU.DLL"));
    EXPECT_EQ(Res::StringSource(), nullptr);
    EXPECT_EQ(LanguageVersionInfo().GetInternalName(), QStringLiteral("English"));

    // ".dll" counts only after the first character.
    ASSERT_TRUE(QFile::copy(kGermanLibrary, path(".dll")));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    LoadLanguageLibrary(QStringLiteral(".dll"));
    EXPECT_EQ(Res::StringSource(), nullptr);
    LoadLanguageLibrary(QStringLiteral("x.dll"));   // a ".dll" path that does not exist: nothing changes
    EXPECT_EQ(Res::StringSource(), nullptr);
    QDir::setCurrent(previous);
}

TEST_F(Languages, DamagedOrForeignFilesAreNeverLoaded)
{
    const QByteArray german = TestSupport::ReadBytes(kGermanLibrary);
    ASSERT_GT(german.size(), 100);
    std::mt19937 random(7);
    QByteArray noise(4096, '\0');
    for (char &c : noise)
        c = char(random());
    QByteArray fakeHeader = "qres" + noise;

    TestSupport::WriteBytes(path("Vetradesk_RND.dll"), noise);
    TestSupport::WriteBytes(path("Vetradesk_HDR.dll"), fakeHeader);
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/true"), path("Vetradesk_ELF.dll")));
    TestSupport::WriteBytes(path("Vetradesk_CUT.dll"), german.left(german.size() / 2));
    TestSupport::WriteBytes(path("Vetradesk_NIL.dll"), QByteArray());
    const QByteArray declaration = Declaration(QStringLiteral("1.0.1.0"), QStringLiteral("x.dll"),
                                               QStringLiteral("Bad"));
    ASSERT_TRUE(MakeLibrary(path("Vetradesk_NOS.dll"), {{QStringLiteral("version.json"), declaration}}));
    const QByteArray badLines[] = {
        "1002 no tab\n",      "abc\tx\n",       "1002\ta\n1002\tb\n", "1002\tbad \\q escape\n",
        "1002\tends in \\\n", "-5\tnegative\n", "\tno id\n"};
    int n = 0;
    for (const QByteArray &bad : badLines) {
        const QString name = dir.filePath(QStringLiteral("Vetradesk_BL%1.dll").arg(n++));
        ASSERT_TRUE(MakeLibrary(name, {{QStringLiteral("version.json"), declaration},
                                       {QStringLiteral("strings.txt"), QByteArray("1003\tgood line\n") + bad}}));
        EXPECT_FALSE(CLanguageLibrary::ParseStrings(QByteArray("1003\tgood line\n") + bad).has_value())
            << bad.constData();
    }
    ASSERT_TRUE(CLanguageLibrary::ParseStrings("1003\tgood line\n").has_value());

    const QStringList names = QDir(dir.path()).entryList({QStringLiteral("Vetradesk_*.dll")}, QDir::Files);
    ASSERT_EQ(names.size(), 6 + n);
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(CLanguageLibrary::Load(dir.filePath(name)), nullptr);
        LoadLanguageLibrary(dir.filePath(name));
        EXPECT_EQ(Res::StringSource(), nullptr);
    }
    for (const SLanguageEntry &e : FindLanguages(dir.path()))
        EXPECT_TRUE(e.path.isEmpty() || !e.usable) << e.path.toStdString();

    // Every shorter copy of a good library, and flipped bytes: refused or read, never a crash.
    for (qsizetype size = 0; size < german.size(); size += 5) {
        CFileVersionInfo info;
        TestSupport::WriteBytes(path("cut.dll"), german.left(size));
        EXPECT_EQ(CLanguageLibrary::Load(path("cut.dll")), nullptr) << size;
        (void)info.ReadFromFile(path("cut.dll"));
    }
    for (int round = 0; round < 100; ++round) {
        QByteArray flipped = german;
        for (int k = 0; k < 4; ++k)
            flipped[qsizetype(random() % flipped.size())] = char(random());
        TestSupport::WriteBytes(path("flip.dll"), flipped);
        (void)CLanguageLibrary::Load(path("flip.dll"));
    }
}

TEST_F(Languages, JoinFolderPath)
{
    EXPECT_EQ(JoinFolderPath(QStringLiteral("/opt/vetradesk"), QStringLiteral("/")), QStringLiteral("/opt/vetradesk/"));
    EXPECT_EQ(JoinFolderPath(QStringLiteral("/opt/vetradesk/"), QStringLiteral("/")),
              QStringLiteral("/opt/vetradesk/"));
    EXPECT_EQ(JoinFolderPath(QStringLiteral("opt//vetradesk"), QStringLiteral("lang")),
              QStringLiteral("/opt/vetradesk/lang/"));
    EXPECT_EQ(JoinFolderPath(QStringLiteral("/a"), QStringLiteral("///b//")), QStringLiteral("/a/b/"));
    EXPECT_EQ(JoinFolderPath(QString(), QStringLiteral("/")), QStringLiteral("/"));
}

}   // namespace
