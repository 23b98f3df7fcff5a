// vetradesk-cli languages
// vetradesk-cli settings [--date-format I] [--time-format I] [--language NAME]
//                        [--min-cover MM|none] [--quantile P]
#include "cli/commands.h"
#include "cli/options.h"

#include "app/appsettings.h"
#include "app/language.h"
#include "app/settingsstore.h"
#include "res/resources.h"

#include <ctime>

namespace Cli {
namespace {

bool isActive(const SLanguageEntry &e)
{
    return e.path.isEmpty() ? Res::StringSource() == nullptr
                            : LanguageVersionInfo().GetOriginalFileName() == e.info.GetOriginalFileName()
                                  && Res::StringSource() != nullptr;
}

void printSettings(Io io)
{
    const SSettings &s = Settings::Current();
    int dateId = 0, timeId = 0;
    const QString date = Settings::GetDatePattern(&dateId);
    const QString time = Settings::GetTimePattern(&timeId);
    io.out << Res::FormatString(Res::IDS_CLI_SETTINGS_LINES, {Settings::Store() ? Settings::Store()->Path() : QString(),
                                                              s.languageFile, LanguageVersionInfo().GetInternalName(),
                                                              s.dtFormat, date, time, s.pfad, s.dataFolder});
    io.out << Res::FormatString(
        Res::IDS_CLI_ASSESSMENT_LINES,
        {s.assessment.requiredCover ? QString::number(*s.assessment.requiredCover) : QStringLiteral("none"),
         QString::number(s.assessment.quantile)});
    io.out << Res::LoadString(Res::IDS_DATETIME_PREVIEW) << QStringLiteral("  ")
           << Settings::FormatTimeStamp(std::int64_t(std::time(nullptr))) << u'\n';
}

bool readIndex(const Options &opts, QStringView name, int &index)
{
    if (!opts.has(name))
        return true;
    bool ok = false;
    index = opts.value(name).toInt(&ok);
    return ok && index >= 0 && index <= 3;
}

}   // namespace

int RunLanguages(const QStringList &args, Io io)
{
    if (!args.isEmpty())
        return UsageError(io, Res::FormatString(Res::IDS_CLI_BAD_OPTION, {args.first()}));
    for (const SLanguageEntry &e : FindLanguages(Settings::ProgramFolder())) {
        io.out << QStringList{e.info.GetInternalName(), e.path.isEmpty() ? Settings::ProgramPath() : e.path,
                              e.info.ProductVersionText(),
                              Res::LoadString(e.usable ? Res::IDS_CLI_USABLE : Res::IDS_CLI_NOT_USABLE),
                              isActive(e) ? Res::LoadString(Res::IDS_CLI_ACTIVE) : QString()}
                      .join(u'\t')
               << u'\n';
    }
    return Exit_Ok;
}

int RunSettings(const QStringList &args, Io io)
{
    Options opts;
    QString bad;
    if (!opts.parse(args,
                    {{u"--date-format", nullptr, OptionDef::Value},
                     {u"--time-format", nullptr, OptionDef::Value},
                     {u"--language", nullptr, OptionDef::Value},
                     {u"--min-cover", nullptr, OptionDef::Value},
                     {u"--quantile", nullptr, OptionDef::Value}},
                    bad)
        || !opts.positional().isEmpty())
        return UsageError(
            io, Res::FormatString(Res::IDS_CLI_BAD_OPTION, {bad.isEmpty() ? opts.positional().value(0) : bad}));

    // As the settings dialog's OK does it.
    const std::uint32_t current = Settings::Current().dtFormat;
    int date = int((current >> 8) & 0xFF) <= 3 ? int((current >> 8) & 0xFF) : 0;
    int time = int(current & 0xFF) <= 3 ? int(current & 0xFF) : 0;
    if (!readIndex(opts, u"--date-format", date) || !readIndex(opts, u"--time-format", time))
        return UsageError(io, Res::LoadString(Res::IDS_CLI_BAD_FORMAT_INDEX));
    bool stored = true;
    if (opts.has(u"--language")) {
        const QString wanted = opts.value(u"--language");
        const QList<SLanguageEntry> languages = FindLanguages(Settings::ProgramFolder());
        const SLanguageEntry *chosen = nullptr;
        QStringList names;
        for (const SLanguageEntry &e : languages) {
            if (!e.usable)
                continue;
            names.append(e.info.GetInternalName());
            if (e.info.GetInternalName().compare(wanted, Qt::CaseInsensitive) == 0)
                chosen = &e;
        }
        if (!chosen)
            return UsageError(
                io, Res::FormatString(Res::IDS_CLI_NO_SUCH_LANGUAGE, {wanted, names.join(QStringLiteral(", "))}));
        if (!IsChosenLanguage(*chosen))
            stored = Settings::SetLanguageFile(LanguageFileOf(*chosen)) && stored;
    }
    SAssessmentSettings assessment = Settings::Current().assessment;
    if (!ReadAssessmentOptions(opts, assessment, io))
        return Exit_Usage;
    if (opts.has(u"--min-cover") || opts.has(u"--quantile"))
        stored = Settings::SaveAssessment(assessment) && stored;
    const std::uint32_t wanted = std::uint32_t(date) * 256 + std::uint32_t(time);
    if (wanted != current)
        stored = Settings::SaveDateTimeFormat(wanted) && stored;
    // A change only in memory would be gone with this run: say so, show nothing as set.
    if (!stored) {
        PrintError(io,
                   Res::FormatString(Res::IDS_CLI_SETTINGS_NOT_STORED,
                                     {Settings::Store() ? Settings::Store()->Path() : CSettingsStore::DefaultPath()}));
        return Exit_File;
    }
    printSettings(io);
    return Exit_Ok;
}

}   // namespace Cli
