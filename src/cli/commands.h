#pragma once
// The commands of vetradesk-cli and what they share.

#include "cli/cli.h"
#include "data/measurement.h"

#include <QList>
#include <QString>

namespace Cli {

struct Command
{
    const char16_t *name;
    int (*run)(const QStringList &args, Io io);
};

int RunInfo(const QStringList &args, Io io);
int RunConvert(const QStringList &args, Io io);

// Usage error: prints `message` and the usage text to stderr.
int UsageError(Io io, const QString &message);
void PrintError(Io io, const QString &message);

// The objects of one input file, as given on the command line.
struct InputFile
{
    QString path;
    QList<TVetraObject> objects;
};

// Reads every input in order. Files that cannot be read or hold no object
// are reported on stderr; false when any input failed.
bool ReadInputs(const QStringList &paths, QList<InputFile> &inputs, Io io);

bool HasSuffix(const QString &path, QStringView suffix);

} // namespace Cli
