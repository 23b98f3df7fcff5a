#include "export/ui/exportcsvdialog.h"

#include "export/ui/optionpanel.h"

#include "export/csvexport.h"
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

const QSize kPreviewSize(150, 120);

// A sheet of a data file with a few lines, at `at`.
void paintSheet(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(Render::kTextColour, 1.2));
    p.setBrush(Qt::white);
    const double fold = r.width() * 0.25;
    QPolygonF sheet{r.topLeft(), QPointF(r.right() - fold, r.top()), QPointF(r.right(), r.top() + fold), r.bottomRight(),
                    r.bottomLeft()};
    p.drawPolygon(sheet);
    p.setPen(QPen(QColor(0, 160, 191), 1.4));
    for (double y = r.top() + fold + 6; y < r.bottom() - 6; y += 7)
        p.drawLine(QPointF(r.left() + 6, y), QPointF(r.right() - 6, y));
}

QPixmap targetPicture(CExportCsvDialog::Target target, qreal ratio)
{
    QPixmap picture(kPreviewSize * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    switch (target) {
    case CExportCsvDialog::Target::OneFile:
        paintSheet(p, QRectF(45, 15, 60, 85));
        break;
    case CExportCsvDialog::Target::EachFile:
        for (int i = 2; i >= 0; --i)
            paintSheet(p, QRectF(25 + i * 22, 10 + i * 10, 55, 75));
        break;
    case CExportCsvDialog::Target::Clipboard: {
        p.setPen(QPen(Render::kTextColour, 1.4));
        p.setBrush(QColor(188, 224, 232));
        p.drawRoundedRect(QRectF(35, 18, 80, 92), 6, 6);
        p.setBrush(QColor(140, 150, 170));
        p.drawRoundedRect(QRectF(57, 10, 36, 16), 3, 3);
        paintSheet(p, QRectF(47, 34, 56, 66));
        break;
    }
    }
    return picture;
}

} // namespace

CExportCsvDialog::CExportCsvDialog(IMessageService &messages, QWidget *parent)
    : QDialog(parent), m_messages(messages), m_target(new QButtonGroup(this)), m_data(new QButtonGroup(this)),
      m_preview(new QLabel(this))
{
    setObjectName(QStringLiteral("exportCsvDialog"));
    setWindowTitle(Res::LoadString(Res::IDS_CSV_EXPORT_TITLE));

    QGroupBox *target = OptionGroup(Res::LoadString(Res::IDS_CSV_EXPORT_TARGET), this);
    auto *targetLayout = new QVBoxLayout(target);
    const std::pair<Res::StrId, const char *> targets[] = {{Res::IDS_CSV_EXPORT_ONE_FILE, "oneFile"},
                                                            {Res::IDS_CSV_EXPORT_EACH_FILE, "eachFile"},
                                                            {Res::IDS_CSV_EXPORT_CLIPBOARD, "clipboard"}};
    int id = 0;
    for (const auto &[text, name] : targets) {
        QRadioButton *button = OptionButton(Res::LoadString(text), name, target);
        m_target->addButton(button, id++);
        targetLayout->addWidget(button);
    }
    targetLayout->addStretch();

    QGroupBox *data = OptionGroup(Res::LoadString(Res::IDS_CSV_EXPORT_DATA), this);
    auto *dataLayout = new QVBoxLayout(data);
    QRadioButton *all = OptionButton(Res::LoadString(Res::IDS_CSV_EXPORT_ALL), "all", data);
    QRadioButton *selection = OptionButton(Res::LoadString(Res::IDS_CSV_EXPORT_SELECTION), "selection", data);
    m_data->addButton(all, int(Data::All));
    m_data->addButton(selection, int(Data::Selection));
    dataLayout->addWidget(all);
    dataLayout->addWidget(selection);
    dataLayout->addStretch();

    QGroupBox *preview = OptionGroup(Res::LoadString(Res::IDS_CSV_EXPORT_PREVIEW), this);
    auto *previewLayout = new QVBoxLayout(preview);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setMinimumSize(kPreviewSize);
    previewLayout->addWidget(m_preview);

    m_target->button(int(Target::OneFile))->setChecked(true);
    selection->setChecked(true);
    connect(m_target, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            showPreview();
    });
    showPreview();

    QDialogButtonBox *buttons = ExportButtons(this);

    auto *groups = new QHBoxLayout;
    groups->addWidget(target, 3);
    groups->addWidget(data, 2);
    groups->addWidget(preview, 2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addWidget(buttons);
}

CExportCsvDialog::Target CExportCsvDialog::GetTarget() const
{
    return Target(m_target->checkedId());
}

CExportCsvDialog::Data CExportCsvDialog::GetData() const
{
    return Data(m_data->checkedId());
}

void CExportCsvDialog::showPreview()
{
    m_preview->setPixmap(targetPicture(GetTarget(), devicePixelRatioF()));
}

void CExportCsvDialog::accept()
{
    if (GetTarget() == Target::Clipboard) {
        QDialog::accept();
        return;
    }
    const QString filter = Res::LoadString(Res::IDS_CSV_FILE_FILTER_NAME) + QStringLiteral(" (*.csv)|*.csv|")
                           + Res::LoadString(Res::IDS_ALL_FILES) + QStringLiteral(" (*.*)|*.*||");
    const std::optional<QString> chosen =
        m_messages.AskSaveFile({filter, QStringLiteral("csv"), Res::LoadString(Res::IDS_CSV_EXPORT_NAME), {}});
    if (!chosen)
        return;
    m_path = *chosen;
    // A name the export cannot use keeps the dialog open.
    if (IsCsvPath(m_path))
        QDialog::accept();
}
