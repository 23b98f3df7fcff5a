#include "export/ui/exportbmpdialog.h"

#include "export/ui/exportbuttons.h"
#include "export/ui/exportpictures.h"
#include "gui/messageservice.h"
#include "res/resources.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace {

enum { kWhat, kTarget, kData };

}   // namespace

CExportBmpDialog::CExportBmpDialog(IMessageService &messages, int selectedObjects, QWidget *parent)
    : QDialog(parent), m_messages(messages), m_selectedObjects(selectedObjects), m_options(new COptionPanel(this))
{
    using ExportPictures::NIcon;
    setObjectName(QStringLiteral("exportGraphicDialog"));
    setWindowTitle(Res::LoadString(Res::IDS_GRAPHIC_TITLE));

    using ExportPictures::Option;
    m_options->AddGroup(Res::LoadString(Res::IDS_GRAPHIC_WHAT), 126,
                        {Option(Res::IDS_GRAPHIC_HEADERS_ONLY, "headersOnly", NIcon::HeadersOnly),
                         Option(Res::IDS_GRAPHIC_AS_IS, "asIs", NIcon::AsIs),
                         Option(Res::IDS_GRAPHIC_DETAILS, "details", NIcon::Details)},
                        2);
    m_options->AddGroup(Res::LoadString(Res::IDS_GRAPHIC_TARGET), 160,
                        {Option(Res::IDS_CSV_EXPORT_ONE_FILE, "oneFile", NIcon::OneFile),
                         Option(Res::IDS_CSV_EXPORT_EACH_FILE, "eachFile", NIcon::EachFile),
                         Option(Res::IDS_CSV_EXPORT_CLIPBOARD, "clipboard", NIcon::Clipboard)},
                        0);
    m_options->AddGroup(Res::LoadString(Res::IDS_GRAPHIC_DATA), 90,
                        {Option(Res::IDS_CSV_EXPORT_ALL, "all", NIcon::All),
                         Option(Res::IDS_CSV_EXPORT_SELECTION, "selection", NIcon::Selection)},
                        1);
    m_options->SetPreview(Res::LoadString(Res::IDS_CSV_EXPORT_PREVIEW), 120, [this](QPainter &p, const QRect &area) {
        ExportPictures::PaintGraphicPreview(p, area, GetWhat(), GetTarget(), GetData());
    });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_options);
    layout->addWidget(ExportButtons(this));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

Render::NRowsShown CExportBmpDialog::GetWhat() const
{
    switch (m_options->Selected(kWhat)) {
    case 0: return Render::NRowsShown::HeadersOnly;
    case 1: return Render::NRowsShown::AsIs;
    default: return Render::NRowsShown::Details;
    }
}

CExportBmpDialog::Target CExportBmpDialog::GetTarget() const
{
    return Target(m_options->Selected(kTarget));
}

CExportBmpDialog::Data CExportBmpDialog::GetData() const
{
    return Data(m_options->Selected(kData));
}

void CExportBmpDialog::accept()
{
    if (SayNothingSelected(m_messages, GetData() == Data::Selection, m_selectedObjects))
        return;
    if (GetTarget() == Target::Clipboard) {
        QDialog::accept();
        return;
    }
    const QString filter = Res::LoadString(Res::IDS_GRAPHIC_FILTER_PNG) + QStringLiteral(" (*.png)|*.png|")
                           + Res::LoadString(Res::IDS_GRAPHIC_FILTER_BMP) + QStringLiteral(" (*.bmp)|*.bmp|")
                           + Res::LoadString(Res::IDS_GRAPHIC_FILTER_JPG) + QStringLiteral(" (*.jpg)|*.jpg|")
                           + Res::LoadString(Res::IDS_ALL_FILES) + QStringLiteral(" (*.*)|*.*||");
    const std::optional<QString> chosen = m_messages.AskSaveFile(
        {filter, QStringLiteral("png"), Res::LoadString(Res::IDS_GRAPHIC_NAME), {}});
    if (!chosen)
        return;
    const std::optional<Render::NImageFormat> format = Render::ImageFormatForPath(*chosen);
    if (!format)
        return;   // another name keeps the dialog open
    m_path = *chosen;
    m_format = *format;
    QDialog::accept();
}
