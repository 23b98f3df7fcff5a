#pragma once
// The commands of vetradesk-cli and what they share.

#include "cli/cli.h"
#include "data/coverassessment.h"
#include "data/measurement.h"

#include <QList>
#include <QString>

#include <optional>

namespace Cli {

struct Command
{
    const char16_t *name;
    int (*run)(const QStringList &args, Io io);
};

int RunExportGraphic(const QStringList &args, Io io);
int RunPrint(const QStringList &args, Io io);
int RunReport(const QStringList &args, Io io);
int RunInfo(const QStringList &args, Io io);
int RunAssess(const QStringList &args, Io io);
int RunConvert(const QStringList &args, Io io);
int RunSort(const QStringList &args, Io io);
int RunSearchCommand(const QStringList &args, Io io);
int RunDownload(const QStringList &args, Io io);
int RunDeleteAll(const QStringList &args, Io io);
int RunLanguages(const QStringList &args, Io io);
int RunSettings(const QStringList &args, Io io);
int RunUpdateCheck(const QStringList &args, Io io);
int RunUpdateDownload(const QStringList &args, Io io);

class Options;
// --min-cover MM|none and --quantile P over `settings`; false (after the usage
// error) when a value is not one.
bool ReadAssessmentOptions(const Options &opts, SAssessmentSettings &settings, Io io);

// Usage error: prints `message` and the usage text to stderr.
int UsageError(Io io, const QString &message);
void PrintError(Io io, const QString &message);

// What a project file keeps of an object beyond its transfer form.
struct ProjectState
{
    std::int16_t diagramOrder = -1;
    bool expanded = false;
    std::uint8_t sortMode = 0;
};

struct InputObject
{
    TVetraObject object;
    std::optional<ProjectState> state;   // set for objects from project files
};

// The objects of one input file, as given on the command line.
struct InputFile
{
    QString path;
    QList<InputObject> objects;

    QList<TVetraObject> transferObjects() const;
};

// Reads every input in order: data files (.csv) and project files (.qxs; their
// current list, or the original list with `originals`). Files that cannot be
// read or hold no object are reported on stderr; false when any input failed.
bool ReadInputs(const QStringList &paths, QList<InputFile> &inputs, Io io, bool originals = false);

bool HasSuffix(const QString &path, QStringView suffix);

}   // namespace Cli
