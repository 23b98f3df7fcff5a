#include "export/ui/exportcsvdialog.h"

#include "export/ui/exportbuttons.h"
#include "export/ui/exportpictures.h"

#include "export/csvexport.h"
#include "gui/messageservice.h"
#include "res/resources.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace {

enum { kTarget, kData };

}   // namespace

CExportCsvDialog::CExportCsvDialog(IMessageService &messages, int selectedObjects, QWidget *parent)
    : QDialog(parent), m_messages(messages), m_selectedObjects(selectedObjects), m_options(new COptionPanel(this))
{
    using ExportPictures::NIcon;
    setObjectName(QStringLiteral("exportCsvDialog"));
    setWindowTitle(Res::LoadString(Res::IDS_CSV_EXPORT_TITLE));

    using ExportPictures::Option;
    m_options->AddGroup(Res::LoadString(Res::IDS_CSV_EXPORT_TARGET), 160,
                        {Option(Res::IDS_CSV_EXPORT_ONE_FILE, "oneFile", NIcon::OneFile),
                         Option(Res::IDS_CSV_EXPORT_EACH_FILE, "eachFile", NIcon::EachFile),
                         Option(Res::IDS_CSV_EXPORT_CLIPBOARD, "clipboard", NIcon::Clipboard)},
                        int(Target::OneFile));
    m_options->AddGroup(Res::LoadString(Res::IDS_CSV_EXPORT_DATA), 90,
                        {Option(Res::IDS_CSV_EXPORT_ALL, "all", NIcon::All),
                         Option(Res::IDS_CSV_EXPORT_SELECTION, "selection", NIcon::Selection)},
                        int(Data::Selection));
    m_options->SetPreview(Res::LoadString(Res::IDS_CSV_EXPORT_PREVIEW), 120, [this](QPainter &p, const QRect &area) {
        ExportPictures::PaintCsvPreview(p, area, GetTarget());
    });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_options);
    layout->addWidget(ExportButtons(this));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

CExportCsvDialog::Target CExportCsvDialog::GetTarget() const
{
    return Target(m_options->Selected(kTarget));
}

CExportCsvDialog::Data CExportCsvDialog::GetData() const
{
    return Data(m_options->Selected(kData));
}

void CExportCsvDialog::accept()
{
    if (SayNothingSelected(m_messages, GetData() == Data::Selection, m_selectedObjects))
        return;
    if (GetTarget() == Target::Clipboard) {
        QDialog::accept();
        return;
    }
    const QString filter = Res::LoadString(Res::IDS_CSV_FILE_FILTER_NAME) + QStringLiteral(" (*.csv)|*.csv|")
                           + Res::LoadString(Res::IDS_ALL_FILES) + QStringLiteral(" (*.*)|*.*||");
    const std::optional<QString> chosen = m_messages.AskSaveFile(
        {filter, QStringLiteral("csv"), Res::LoadString(Res::IDS_CSV_EXPORT_NAME), {}});
    if (!chosen)
        return;
    m_path = *chosen;
    // A name the export cannot use keeps the dialog open.
    if (IsCsvPath(m_path))
        QDialog::accept();
}
