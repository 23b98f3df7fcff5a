#pragma once
// Start-up and shut-down, as every front end does them: settings, language,
// stream layer, worker; at exit the worker stops before the stream layer
// shuts down.

#include <QString>

#include <memory>

class CSettingsStore;

// For --help and --version: the chosen language, read from the settings
// store without writing it and without starting the streams or the worker.
void LoadChosenLanguage(const QString &storePath = {});

class CApplicationRun
{
public:
    // `programPath`: the running executable; `storePath` empty for the
    // user's settings store.
    explicit CApplicationRun(const QString &programPath, const QString &storePath = {});
    ~CApplicationRun();
    CApplicationRun(const CApplicationRun &) = delete;
    CApplicationRun &operator=(const CApplicationRun &) = delete;

    // False when the stream layer or the worker could not start (reported).
    bool IsRunning() const { return m_running; }
    CSettingsStore &Store() { return *m_store; }

private:
    std::unique_ptr<CSettingsStore> m_store;
    bool m_running = false;
};
