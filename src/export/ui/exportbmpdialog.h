#pragma once
// CExportBmpDialog ("Export as graphic"): which rows (headers only, as
// shown, headers and details), where (one file, a file per object, the
// clipboard) and which objects (all, the selection), with a preview. Export
// asks for the file and closes only with a ".png", ".bmp" or ".jpg" name.

#include "render/imageencoders.h"
#include "render/tablepicture.h"

#include "export/ui/optionpanel.h"

#include <QDialog>

class IMessageService;

class CExportBmpDialog : public QDialog
{
    Q_OBJECT
public:
    using Target = NExportTarget;
    using Data = NExportData;

    // `selectedObjects`: how many objects "Selection only" would export; with
    // none, Export says so and the dialog stays open.
    CExportBmpDialog(IMessageService &messages, int selectedObjects, QWidget *parent = nullptr);

    Render::NRowsShown GetWhat() const;
    Target GetTarget() const;
    Data GetData() const;
    QString GetPath() const { return m_path; }
    Render::NImageFormat GetFormat() const { return m_format; }

    void accept() override;

    COptionPanel &Options() const { return *m_options; }

private:
    IMessageService &m_messages;
    int m_selectedObjects;
    COptionPanel *m_options;
    QString m_path;
    Render::NImageFormat m_format = Render::NImageFormat::Png;
};
