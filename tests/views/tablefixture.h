#pragma once
// An object table page on its own document, settings and stream layer, with
// scripted answers.

#include "app/appsettings.h"
#include "app/settingsstore.h"
#include "gui/documentui.h"
#include "gui/qtclipboard.h"
#include "project/vetradoc.h"
#include "streamio/streamtable.h"
#include "support/scriptedui.h"
#include "support/testsupport.h"
#include "views/objecttablemodel.h"
#include "views/tabgrid.h"

#include <QItemSelectionModel>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace TestSupport {

class TableTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        StreamIO::InitStreamLayer();
        store = std::make_unique<CSettingsStore>(dir.filePath(QStringLiteral("settings.json")));
        Settings::Attach(store.get(), dir.filePath(QStringLiteral("vetradesk")));
        Settings::LoadSettings();
        document = std::make_unique<CVetraDoc>(ui);
        page = std::make_unique<CTabGrid>(*document, messages, clipboard);
        page->resize(1000, 600);
        page->show();
    }

    void TearDown() override
    {
        page.reset();
        document.reset();
        Settings::Attach(nullptr, QString());
        StreamIO::ShutdownStreamLayer();
    }

    // Objects numbered 1..count; object i has covers {10 + i, 40}.
    void load(int count)
    {
        QList<TVetraObject> objects;
        for (int i = 1; i <= count; ++i)
            objects << MakeObject(std::uint16_t(i), {10 + i, 40});
        document->AddObjects(objects, false, false);
    }

    QTableView &table() const { return page->Table(); }
    QString text(int row, int column) const { return table().model()->index(row, column).data().toString(); }
    bool rowSelected(int row) const
    {
        return table().selectionModel()->isSelected(table().model()->index(row, 1));
    }
    QStringList numbers() const
    {
        QStringList n;
        for (int row = 0; row < table().model()->rowCount(); row += 2)
            n << text(row, 0);
        return n;
    }

    QTemporaryDir dir;
    std::unique_ptr<CSettingsStore> store;
    CScriptedMessages messages;
    CDocumentUi ui{messages};
    CQtProjectClipboard clipboard;
    std::unique_ptr<CVetraDoc> document;
    std::unique_ptr<CTabGrid> page;
};

} // namespace TestSupport
