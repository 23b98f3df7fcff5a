#pragma once
// A main window on its own settings, program folder and stream layer, with
// scripted answers for every question it asks.

#include "app/appsettings.h"
#include "app/language.h"
#include "app/settingsstore.h"
#include "data/datafile.h"
#include "device/worker.h"
#include "instrument/instrumentservice.h"
#include "project/vetradoc.h"
#include "res/report.h"
#include "shell/mainframe.h"
#include "streamio/streamtable.h"
#include "support/scriptedui.h"
#include "support/silentui.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace TestSupport {

class ShellTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        bin = dir.filePath(QStringLiteral("bin"));
        ASSERT_TRUE(QDir().mkpath(bin));
        // The German library beside the "program", as installed.
        QFile::copy(QStringLiteral(VETRA_PROGRAM_DIR "/Vetradesk_DEU.dll"), bin + QStringLiteral("/Vetradesk_DEU.dll"));
        StreamIO::InitStreamLayer();
        store = std::make_unique<CSettingsStore>(dir.filePath(QStringLiteral("config/settings.json")));
        Settings::Attach(store.get(), bin + QStringLiteral("/vetradesk"));
        Settings::LoadSettings();
        LoadLanguageLibrary(Settings::Current().languageFile);
        ASSERT_TRUE(Device::StartWorker());
        frame = std::make_unique<CMainFrame>(SShellServices{messages, desktop});
    }

    void TearDown() override
    {
        frame.reset();
        Device::StopWorker();
        LoadLanguageLibrary(Settings::ProgramPath());   // back to the built-in texts
        Settings::Attach(nullptr, QString());
        StreamIO::ShutdownStreamLayer();
    }

    QString path(const QString &name) const { return dir.filePath(name); }

    // Runs an instrument command as a menu choice does and waits until it has
    // ended: its exchanges run off this thread, its boxes come afterwards.
    void runInstrumentCommand(int id)
    {
        frame->Execute(id);
        waitForInstrument();
    }
    void waitForInstrument()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !frame->IsInstrumentBusy(); }, 30000));
    }

    // A project file of `count` objects numbered from `first`.
    QString writeProject(const QString &name, int count, int first = 1)
    {
        CSilentUi ui;
        CVetraDoc doc(ui);
        QList<TVetraObject> objects;
        for (int i = 0; i < count; ++i)
            objects << MakeObject(std::uint16_t(first + i), {20 + i, 30, 40});
        doc.AddObjects(objects, false, false);
        const QString file = path(name);
        EXPECT_TRUE(doc.SaveToPath(file));
        return file;
    }

    // A data file of `count` objects numbered from `first`.
    QString writeCsv(const QString &name, int count, int first = 1)
    {
        QString text;
        for (int i = 0; i < count; ++i)
            text += FormatDataFile(MakeObject(std::uint16_t(first + i), {25, 35}));
        const QString file = path(name);
        WriteBytes(file, EncodeDataFileText(text));
        return file;
    }

    QStringList names() const
    {
        QStringList n;
        const CVetraData &list = frame->Document().Current();
        for (int i = 0; i < list.GetCount(); ++i)
            n << QString::number(list.GetObject(i).objectNumber);
        return n;
    }

    QTemporaryDir dir;
    QString bin;
    std::unique_ptr<CSettingsStore> store;
    CScriptedMessages messages;
    CScriptedDesktop desktop;
    std::unique_ptr<CMainFrame> frame;
};

}   // namespace TestSupport
