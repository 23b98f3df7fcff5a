#pragma once
// Runs vetradesk-cli in the test process and keeps what it printed.

#include "cli/cli.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace TestSupport {

struct CliResult
{
    int code = -1;
    QString out, err;
};

inline CliResult RunCli(const QStringList &args)
{
    CliResult r;
    QTextStream out(&r.out), err(&r.err);
    r.code = Cli::Run(args, {out, err});
    out.flush();
    err.flush();
    return r;
}

} // namespace TestSupport
