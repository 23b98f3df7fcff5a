#pragma once
// An object table page on its own document, settings and stream layer, with
// scripted answers.

#include "app/appsettings.h"
#include "app/settingsstore.h"
#include "export/ui/optionpanel.h"
#include "gui/documentui.h"
#include "gui/qtclipboard.h"
#include "project/vetradoc.h"
#include "streamio/streamtable.h"
#include "support/scriptedui.h"
#include "support/testsupport.h"
#include "views/objecttablemodel.h"
#include "views/tabgrid.h"

#include <QDialog>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

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
    bool rowSelected(int row) const { return table().selectionModel()->isSelected(table().model()->index(row, 1)); }
    void selectObject(int object, QItemSelectionModel::SelectionFlags how = QItemSelectionModel::Select)
    {
        table().selectionModel()->select(table().model()->index(CObjectTableModel::HeaderRowOf(object), 0),
                                         how | QItemSelectionModel::Rows);
    }
    // A click on the drawn option of that name, where a user would click.
    static void clickOption(QDialog &dialog, const QString &name)
    {
        auto *panel = dialog.findChild<COptionPanel *>(QStringLiteral("options"));
        ASSERT_TRUE(panel);
        const QRect at = panel->OptionRect(name);
        ASSERT_FALSE(at.isEmpty()) << name.toStdString();
        QTest::mouseClick(panel, Qt::LeftButton, {}, at.center());
    }
    // An export dialog answered as a user would: the options named, then
    // Export; the save dialog answered with `path` (none for the clipboard)
    // and the boxes that follow expected.
    void expectExportDialog(const QString &dialogName, const QStringList &radios, const QString &target,
                            const std::optional<QString> &path, const QStringList &thenBoxes)
    {
        messages.ExpectDialog(dialogName, [radios](QDialog &dialog) {
            for (const QString &name : radios)
                clickOption(dialog, name);
            dialog.findChild<QPushButton *>(QStringLiteral("export"))->click();
            if (dialog.isVisible())
                dialog.reject();
        });
        if (target != u"clipboard")
            messages.ExpectSaveFile(path);
        for (const QString &box : thenBoxes)
            messages.ExpectBox(box);
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

}   // namespace TestSupport
