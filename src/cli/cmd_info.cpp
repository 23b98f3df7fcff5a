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
    json.field(u"file", file);
    json.field(u"version", o.version.value());
    json.field(u"deviceName", o.deviceName);
    json.field(u"serialNumber", o.serialNumber);
    json.field(u"softwareVersion", o.softwareVersion);
    json.field(u"hardwareIndex", o.hardwareIndex);
    json.field(u"signature", o.signature);
    json.field(u"regional", unsigned(o.regional));
    json.field(u"storageMode", unsigned(o.storageMode));
    json.field(u"rawDefaultBarDiameter", unsigned(o.rawDefaultBarDiameter));
    json.field(u"neighborCorrection", unsigned(o.neighborCorrection));
    json.field(u"comment", o.comment);
    json.field(u"objectName", o.objectName);
    json.field(u"timeStamp", o.timeStamp);
    json.field(u"objectNumber", unsigned(o.objectNumber));
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
    json.field(u"count", int(s.count));
    json.field(u"mean", s.mean);
    json.field(u"min", s.min);
    json.field(u"max", s.max);
    json.field(u"stdDev", s.stdDev);
    json.endObject();
    if (in.state) {
        json.field(u"diagramOrder", int(in.state->diagramOrder));
        json.field(u"expanded", in.state->expanded);
        json.field(u"sortMode", unsigned(in.state->sortMode));
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
