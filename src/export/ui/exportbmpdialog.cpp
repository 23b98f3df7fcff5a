#include "export/ui/exportbmpdialog.h"

#include "export/ui/optionpanel.h"
#include "gui/messageservice.h"
#include "render/tablecells.h"
#include "res/resources.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QSize kPreviewSize(150, 150);

// A small table: a header strip, then rows, some with a detail strip.
void paintMiniTable(QPainter &p, QPoint at, const std::vector<bool> &details, bool dimmedTail)
{
    const int width = 70;
    // A sheet behind the table, so that stacked pictures read as pages.
    int height = 6;
    for (bool detail : details)
        height += detail ? 23 : 6;
    p.fillRect(QRect(at - QPoint(3, 3), QSize(width + 6, height + 5)), Qt::white);
    p.setPen(QColor(155, 175, 202));
    p.drawRect(QRect(at - QPoint(3, 3), QSize(width + 6, height + 5)));
    p.fillRect(QRect(at, QSize(width, 5)), QColor(200, 200, 200));
    int y = at.y() + 6;
    for (std::size_t i = 0; i < details.size(); ++i) {
        const bool dim = dimmedTail && i + 1 == details.size();
        p.fillRect(QRect(at.x(), y, 10, 5), dim ? QColor(220, 230, 235) : Render::kGripperBackground);
        p.fillRect(QRect(at.x() + 11, y, width - 11, 5), dim ? QColor(235, 236, 240) : QColor(200, 206, 226));
        y += 6;
        if (details[i]) {
            p.fillRect(QRect(at.x(), y, width, 16), Render::kRowBackground);
            for (int b = 0; b < 5; ++b)
                p.fillRect(QRect(at.x() + 14 + b * 5, y + 14 - (b * 3) % 10, 4, 2 + (b * 3) % 10), QColor(0, 160, 191));
            y += 17;
        }
    }
}

} // namespace

CExportBmpDialog::CExportBmpDialog(IMessageService &messages, QWidget *parent)
    : QDialog(parent), m_messages(messages), m_what(new QButtonGroup(this)), m_target(new QButtonGroup(this)),
      m_data(new QButtonGroup(this)), m_preview(new QLabel(this))
{
    setObjectName(QStringLiteral("exportGraphicDialog"));
    setWindowTitle(Res::LoadString(Res::IDS_GRAPHIC_TITLE));

    auto group = [this](Res::StrId title, QButtonGroup *buttons,
                        std::initializer_list<std::pair<Res::StrId, const char *>> options) {
        QGroupBox *box = OptionGroup(Res::LoadString(title), this);
        auto *layout = new QVBoxLayout(box);
        int id = 0;
        for (const auto &[text, name] : options) {
            QRadioButton *button = OptionButton(Res::LoadString(text), name, box);
            buttons->addButton(button, id++);
            layout->addWidget(button);
        }
        layout->addStretch();
        return box;
    };
    QGroupBox *what = group(Res::IDS_GRAPHIC_WHAT, m_what,
                            {{Res::IDS_GRAPHIC_HEADERS_ONLY, "headersOnly"}, {Res::IDS_GRAPHIC_AS_IS, "asIs"},
                             {Res::IDS_GRAPHIC_DETAILS, "details"}});
    QGroupBox *target = group(Res::IDS_GRAPHIC_TARGET, m_target,
                              {{Res::IDS_CSV_EXPORT_ONE_FILE, "oneFile"}, {Res::IDS_CSV_EXPORT_EACH_FILE, "eachFile"},
                               {Res::IDS_CSV_EXPORT_CLIPBOARD, "clipboard"}});
    QGroupBox *data = group(Res::IDS_GRAPHIC_DATA, m_data,
                            {{Res::IDS_CSV_EXPORT_ALL, "all"}, {Res::IDS_CSV_EXPORT_SELECTION, "selection"}});
    QGroupBox *preview = OptionGroup(Res::LoadString(Res::IDS_CSV_EXPORT_PREVIEW), this);
    auto *previewLayout = new QVBoxLayout(preview);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_preview->setMinimumSize(kPreviewSize);
    m_preview->setAlignment(Qt::AlignCenter);
    previewLayout->addWidget(m_preview);

    m_what->button(2)->setChecked(true);
    m_target->button(0)->setChecked(true);
    m_data->button(1)->setChecked(true);
    for (QButtonGroup *buttons : {m_what, m_target, m_data})
        connect(buttons, &QButtonGroup::idToggled, this, [this](int, bool on) {
            if (on)
                showPreview();
        });
    showPreview();

    QDialogButtonBox *buttons = ExportButtons(this);

    auto *groups = new QHBoxLayout;
    for (QGroupBox *box : {what, target, data, preview})
        groups->addWidget(box);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addWidget(buttons);
}

Render::NRowsShown CExportBmpDialog::GetWhat() const
{
    switch (m_what->checkedId()) {
    case 0: return Render::NRowsShown::HeadersOnly;
    case 1: return Render::NRowsShown::AsIs;
    default: return Render::NRowsShown::Details;
    }
}

CExportBmpDialog::Target CExportBmpDialog::GetTarget() const
{
    return Target(m_target->checkedId());
}

CExportBmpDialog::Data CExportBmpDialog::GetData() const
{
    return Data(m_data->checkedId());
}

void CExportBmpDialog::showPreview()
{
    const qreal ratio = devicePixelRatioF();
    QPixmap picture(kPreviewSize * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    const Render::NRowsShown what = GetWhat();
    auto details = [&](int rows, int expandedRow) {
        std::vector<bool> d(std::size_t(rows), what == Render::NRowsShown::Details);
        if (what == Render::NRowsShown::AsIs && expandedRow >= 0 && expandedRow < rows)
            d[std::size_t(expandedRow)] = true;
        return d;
    };
    const bool all = GetData() == Data::All;
    if (GetTarget() == Target::EachFile) {
        const int pictures = all ? 3 : 2;
        for (int i = 0; i < pictures; ++i)
            paintMiniTable(p, QPoint(10 + i * 24, 8 + i * 26), details(1, i == 1 ? 0 : -1), false);
    } else {
        paintMiniTable(p, QPoint(40, 8), details(all ? 4 : 3, 1), all);
    }
    // A file, or the clipboard, over the lower left corner.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Render::kTextColour, 1.2));
    p.setBrush(GetTarget() == Target::Clipboard ? QColor(188, 224, 232) : QColor(Qt::white));
    p.drawRoundedRect(QRectF(10, 100, 32, 40), 3, 3);
    p.end();
    m_preview->setPixmap(picture);
}

void CExportBmpDialog::accept()
{
    if (GetTarget() == Target::Clipboard) {
        QDialog::accept();
        return;
    }
    const QString filter = Res::LoadString(Res::IDS_GRAPHIC_FILTER_PNG) + QStringLiteral(" (*.png)|*.png|")
                           + Res::LoadString(Res::IDS_GRAPHIC_FILTER_BMP) + QStringLiteral(" (*.bmp)|*.bmp|")
                           + Res::LoadString(Res::IDS_GRAPHIC_FILTER_JPG) + QStringLiteral(" (*.jpg)|*.jpg|")
                           + Res::LoadString(Res::IDS_ALL_FILES) + QStringLiteral(" (*.*)|*.*||");
    const std::optional<QString> chosen =
        m_messages.AskSaveFile({filter, QStringLiteral("png"), Res::LoadString(Res::IDS_GRAPHIC_NAME), {}});
    if (!chosen)
        return;
    const std::optional<Render::NImageFormat> format = Render::ImageFormatForPath(*chosen);
    if (!format)
        return;   // another name keeps the dialog open
    m_path = *chosen;
    m_format = *format;
    QDialog::accept();
}
