#pragma once
// CTablePage: what the main window's client view asks of the active page of
// the table sheet — the table commands and their enable tests. The page runs
// them with the document it shows.

#include <QWidget>

class CTablePage : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

    virtual void Print() = 0;
    virtual void ExportGraphic() = 0;
    virtual void ExportPdfReport() = 0;
    virtual void ExportCsv() = 0;
    virtual void ExportInspectionReport() = 0;
    virtual void ExportExcelWorkbook() = 0;
    virtual void SelectAll() = 0;
    virtual void DeleteSelection() = 0;
    virtual void Copy() = 0;
    virtual void Paste() = 0;

    virtual bool CanSelectAll() const = 0;
    virtual bool CanDelete() const = 0;
    virtual bool CanCopy() const = 0;

    // The status line's text as it stands; StatusText says each change.
    virtual QString CurrentStatus() const = 0;

    // Re-reads every text of the page after a language change.
    virtual void Retranslate() {}

Q_SIGNALS:
    // The selection or the number of rows changed: enable states may differ.
    void CommandStatesChanged();
    // A text for the main window's status line.
    void StatusText(const QString &text);
};
