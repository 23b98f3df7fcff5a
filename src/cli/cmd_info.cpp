// vetradesk-cli info [--json] [--originals] FILE...
#include "cli/commands.h"
#include "cli/jsonwriter.h"
#include "cli/options.h"

#include "app/appsettings.h"
#include "data/objecttext.h"
#include "data/statistics.h"
#include "res/resources.h"

namespace Cli {
namespace {

void writeJson(JsonWriter &json, const QString &file, const InputObject &in)
{
    const TVetraObject &o = in.object;
    json.beginObject();
    json.key(u"file");
    json.value(file);
    json.key(u"version");
    json.value(o.version.value());
    json.key(u"deviceName");
    json.value(o.deviceName);
    json.key(u"serialNumber");
    json.value(o.serialNumber);
    json.key(u"softwareVersion");
    json.value(o.softwareVersion);
    json.key(u"hardwareIndex");
    json.value(o.hardwareIndex);
    json.key(u"signature");
    json.value(o.signature);
    json.key(u"regional");
    json.value(unsigned(o.regional));
    json.key(u"storageMode");
    json.value(unsigned(o.storageMode));
    json.key(u"rawDefaultBarDiameter");
    json.value(unsigned(o.rawDefaultBarDiameter));
    json.key(u"neighborCorrection");
    json.value(unsigned(o.neighborCorrection));
    json.key(u"comment");
    json.value(o.comment);
    json.key(u"objectName");
    json.value(o.objectName);
    json.key(u"timeStamp");
    json.value(o.timeStamp);
    json.key(u"objectNumber");
    json.value(unsigned(o.objectNumber));
    json.key(u"measurements");
    json.beginArray();
    for (const TMeas &m : o.measurements) {
        json.beginArray(true);
        json.value(unsigned(m.number));
        json.value(unsigned(m.cover));
        json.value(unsigned(m.rawDiameter));
        json.endArray();
    }
    json.endArray();
    const SStatistics s = GetStatistics(o);
    json.key(u"statistics");
    json.beginObject(true);
    json.key(u"count");
    json.value(int(s.count));
    json.key(u"mean");
    json.value(s.mean);
    json.key(u"min");
    json.value(s.min);
    json.key(u"max");
    json.value(s.max);
    json.key(u"stdDev");
    json.value(s.stdDev);
    json.endObject();
    if (in.state) {
        json.key(u"diagramOrder");
        json.value(int(in.state->diagramOrder));
        json.key(u"expanded");
        json.value(in.state->expanded);
        json.key(u"sortMode");
        json.value(unsigned(in.state->sortMode));
    }
    json.endObject();
}

}   // namespace

int RunInfo(const QStringList &args, Io io)
{
    Options opts;
    QString bad;
    if (!opts.parse(args, {{u"--json", nullptr, OptionDef::NoValue}, {u"--originals", nullptr, OptionDef::NoValue}},
                    bad))
        return UsageError(io, Res::FormatString(Res::IDS_CLI_BAD_OPTION, {bad}));
    if (opts.positional().isEmpty())
        return UsageError(io, Res::LoadString(Res::IDS_CLI_NO_INPUT));

    QList<InputFile> inputs;
    const bool allRead = ReadInputs(opts.positional(), inputs, io, opts.has(u"--originals"));

    if (opts.has(u"--json")) {
        JsonWriter json(io.out);
        json.beginArray();
        for (const InputFile &in : inputs)
            for (const InputObject &o : in.objects)
                writeJson(json, in.path, o);
        json.endArray();
    } else {
        const QString datePicture = Settings::GetDatePattern();
        const QString timePicture = Settings::GetTimePattern();
        for (const InputFile &in : inputs)
            for (const InputObject &o : in.objects) {
                const ObjectRow row = ObjectRowTexts(o.object, datePicture, timePicture);
                io.out << QStringList(row.begin(), row.end()).join(u'\t') << u'\n';
            }
    }
    io.out.flush();
    return allRead ? Exit_Ok : Exit_File;
}

}   // namespace Cli
