#pragma once
// CExportCsvDialog: what to export as CSV and where — one file, a file per
// object or the clipboard; all objects or the selection — with a picture of
// the chosen target. Export asks for the file (for the file targets) and
// closes only with a usable ".csv" name.

#include "export/ui/optionpanel.h"

#include <QDialog>

class IMessageService;

class CExportCsvDialog : public QDialog
{
    Q_OBJECT
public:
    using Target = NExportTarget;
    using Data = NExportData;

    // `selectedObjects`: how many objects "Selection only" would export; with
    // none, Export says so and the dialog stays open.
    CExportCsvDialog(IMessageService &messages, int selectedObjects, QWidget *parent = nullptr);

    Target GetTarget() const;
    Data GetData() const;
    QString GetPath() const { return m_path; }

    void accept() override;

    COptionPanel &Options() const { return *m_options; }

private:
    IMessageService &m_messages;
    int m_selectedObjects;
    COptionPanel *m_options;
    QString m_path;
};
