// vetradesk-cli assess [--json] [--min-cover MM] [--quantile P] FILE...
#include "cli/commands.h"
#include "cli/jsonwriter.h"
#include "cli/options.h"

#include "app/appsettings.h"
#include "data/coverassessment.h"
#include "res/resources.h"

namespace Cli {
namespace {

struct SRow
{
    QString number;
    QString name;
    SCoverAssessment figures;
};

void jsonFigures(JsonWriter &json, const SCoverAssessment &a)
{
    auto number = [&](const char16_t *key, const std::optional<double> &v) {
        json.key(key);
        if (v)
            json.value(*v);
        else
            json.null();
    };
    json.field(u"count", a.count);
    number(u"mean", a.mean);
    number(u"sd", a.sd);
    number(u"min", a.min);
    number(u"max", a.max);
    json.field(u"belowCount", a.belowCount);
    number(u"belowShare", a.belowShare);
    number(u"characteristicNormal", a.characteristicNormal);
    number(u"characteristicLogNormal", a.characteristicLogNormal);
    json.field(u"verdict", QString::fromLatin1(VerdictKey(a.verdict)));
}

QString text(const std::optional<double> &v, int decimals = 1)
{
    return v ? QString::number(*v, 'f', decimals) : QStringLiteral("-");
}

QString line(const SRow &r)
{
    const SCoverAssessment &a = r.figures;
    return QStringList{r.number,
                       r.name,
                       QString::number(a.count),
                       text(a.mean),
                       text(a.sd),
                       text(a.min, 0),
                       text(a.max, 0),
                       QString::number(a.belowCount),
                       text(a.characteristicNormal),
                       text(a.characteristicLogNormal),
                       QString::fromLatin1(VerdictKey(a.verdict))}
        .join(u'\t');
}

}   // namespace

bool ReadAssessmentOptions(const Options &opts, SAssessmentSettings &settings, Io io)
{
    if (opts.has(u"--min-cover")) {
        const QString value = opts.value(u"--min-cover");
        bool ok = false;
        const double mm = value.toDouble(&ok);
        if (value == u"none")
            settings.requiredCover.reset();
        else if (ok && mm >= 0 && mm < 255)
            settings.requiredCover = mm;
        else
            return UsageError(io, Res::LoadString(Res::IDS_CLI_BAD_MIN_COVER)), false;
    }
    if (opts.has(u"--quantile")) {
        bool ok = false;
        const double p = opts.value(u"--quantile").toDouble(&ok);
        if (!ok || !(p > 0 && p <= 0.5))
            return UsageError(io, Res::LoadString(Res::IDS_CLI_BAD_QUANTILE)), false;
        settings.quantile = p;
    }
    return true;
}

int RunAssess(const QStringList &args, Io io)
{
    Options opts;
    QString bad;
    if (!opts.parse(args,
                    {{u"--json", nullptr, OptionDef::NoValue},
                     {u"--min-cover", nullptr, OptionDef::Value},
                     {u"--quantile", nullptr, OptionDef::Value}},
                    bad))
        return UsageError(io, Res::FormatString(Res::IDS_CLI_BAD_OPTION, {bad}));
    if (opts.positional().isEmpty())
        return UsageError(io, Res::LoadString(Res::IDS_CLI_NO_INPUT));
    // The stored choice, unless the options say otherwise for this run.
    SAssessmentSettings settings = Settings::Current().assessment;
    if (!ReadAssessmentOptions(opts, settings, io))
        return Exit_Usage;

    QList<InputFile> inputs;
    const bool allRead = ReadInputs(opts.positional(), inputs, io, false);
    std::vector<SRow> rows;
    std::vector<double> all;
    for (const InputFile &in : inputs)
        for (const InputObject &o : in.objects) {
            std::vector<double> covers;
            AppendValidCovers(o.object, covers);
            all.insert(all.end(), covers.begin(), covers.end());
            rows.push_back(
                {QString::number(o.object.objectNumber), o.object.objectName, AssessCovers(covers, settings)});
        }
    const SCoverAssessment total = AssessCovers(all, settings);

    if (opts.has(u"--json")) {
        JsonWriter json(io.out);
        json.beginObject();
        json.key(u"requiredCover");
        if (settings.requiredCover)
            json.value(*settings.requiredCover);
        else
            json.null();
        json.field(u"quantile", settings.quantile);
        json.key(u"objects");
        json.beginArray();
        for (const SRow &r : rows) {
            json.beginObject(true);
            json.field(u"objectNumber", r.number.toInt());
            json.field(u"objectName", r.name);
            jsonFigures(json, r.figures);
            json.endObject();
        }
        json.endArray();
        json.key(u"total");
        json.beginObject(true);
        jsonFigures(json, total);
        json.endObject();
        json.endObject();
    } else {
        for (const SRow &r : rows)
            io.out << line(r) << u'\n';
        io.out << line({QStringLiteral("total"), QString(), total}) << u'\n';
    }
    io.out.flush();
    return allRead ? Exit_Ok : Exit_File;
}

}   // namespace Cli
