#include "app/startup.h"

#include "app/appsettings.h"
#include "app/language.h"
#include "app/settingsstore.h"
#include "device/worker.h"
#include "res/report.h"
#include "res/resources.h"
#include "streamio/streamtable.h"

void LoadChosenLanguage(const QString &storePath)
{
    const CSettingsStore store(storePath);
    if (const std::optional<QString> file = store.ReadString(Settings::SettingsKey(),
                                                             Res::LoadString(Res::IDS_VALUE_LANGUAGEFILE)))
        LoadLanguageLibrary(*file);
}

CApplicationRun::CApplicationRun(const QString &programPath, const QString &storePath)
    : m_store(std::make_unique<CSettingsStore>(storePath))
{
    if (m_store->IsDamaged())
        Res::ShowMessage(
            Res::MessageIcon::Warning, Res::LoadString(Res::IDS_APP_TITLE),
            Res::FormatString(Res::IDS_SETTINGS_DAMAGED, {m_store->Path(), m_store->Problem(), m_store->Path()}));
    Settings::Attach(m_store.get(), programPath);
    Settings::LoadSettings();
    LoadLanguageLibrary(Settings::Current().languageFile);
    try {
        StreamIO::InitStreamLayer();
        m_running = Device::StartWorker();
    } catch (...) {
        m_running = false;
    }
    if (!m_running)
        VETRA_REPORT(Res::ReportKind::Fatal, Res::LoadString(Res::IDS_STARTUP_EXCEPTION));
}

CApplicationRun::~CApplicationRun()
{
    Device::StopWorker();   // joins: no job may outlive the streams
    StreamIO::ShutdownStreamLayer();
    Settings::Attach(nullptr, QString());
}
