#pragma once
// Runs vetradesk-cli in the test process and keeps what it printed.

#include "app/appsettings.h"
#include "app/settingsstore.h"
#include "cli/cli.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>

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

// A settings store of the test's own, as the tool has one: what `settings`
// stores, the next command reads.
class CCliSettings
{
public:
    CCliSettings() : m_store(std::make_unique<CSettingsStore>(m_dir.filePath(QStringLiteral("settings.json"))))
    {
        Settings::Attach(m_store.get(), m_dir.filePath(QStringLiteral("vetradesk-cli")));
        Settings::LoadSettings();
    }
    ~CCliSettings() { Settings::Attach(nullptr, QString()); }
    CCliSettings(const CCliSettings &) = delete;
    CCliSettings &operator=(const CCliSettings &) = delete;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<CSettingsStore> m_store;
};

}   // namespace TestSupport
