#pragma once
// vetradesk-cli: the headless front end. Commands are a table; each parses its
// own arguments and returns an exit code.

#include <QStringList>
#include <QTextStream>

namespace Cli {

enum ExitCode : int {
    Exit_Ok = 0,
    Exit_Usage = 1,   // wrong usage; the usage text has been printed
    Exit_File = 2,    // an input or output file could not be read, written, or was refused
};

struct Io
{
    QTextStream &out;
    QTextStream &err;
};

// Runs one invocation; `args` excludes the program name.
int Run(const QStringList &args, Io io);

}   // namespace Cli
