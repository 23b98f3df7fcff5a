#include "wizard/portselectpage.h"

#include "gui/accessibletext.h"
#include "gui/messageservice.h"
#include "gui/shownlines.h"
#include "res/resources.h"
#include "wizard/devselectsheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

constexpr int kMinComPort = 1;
constexpr int kMaxComPort = 9999;

// Four numbers from 0 to 255 with points between them.
bool isDottedAddress(const QString &text)
{
    const QStringList parts = text.split(u'.');
    if (parts.size() != 4)
        return false;
    for (const QString &part : parts) {
        bool ok = false;
        const int n = part.toInt(&ok);
        if (!ok || part.isEmpty() || part.size() > 3 || n < 0 || n > 255)
            return false;
    }
    return true;
}

// The explanation as the resource lays it out: a line "Note:<TAB>- text"
// puts "Note:" in a column of its own and each "- " point in a hanging
// indent, so that wrapped lines stay under their text.
QWidget *explanationWidget(const QString &text)
{
    auto *box = new QWidget;
    box->setObjectName(QStringLiteral("explanation"));
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(2, 1);
    auto label = [](const QString &shown) {
        auto *l = new QLabel(shown);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    };
    int row = 0;
    for (const QString &line : ShownLines(text).split(u'\n')) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab < 0) {
            grid->addWidget(label(line), row++, 0, 1, 3);
            continue;
        }
        if (tab > 0)
            grid->addWidget(label(line.left(tab)), row, 0);
        QString rest = line.mid(tab + 1);
        if (rest.startsWith(QLatin1String("- "))) {
            grid->addWidget(label(QStringLiteral("\u2013")), row, 1);
            grid->addWidget(label(rest.mid(2)), row, 2);
        } else {
            grid->addWidget(label(rest), row, 1, 1, 2);
        }
        ++row;
    }
    return box;
}

}   // namespace

CPortSelectPage::CPortSelectPage(CDevSelectSheet &sheet) : m_sheet(sheet)
{
    setObjectName(QStringLiteral("portSelectPage"));
    setTitle(Res::LoadString(Res::IDS_WIZARD_PORT_TITLE));

    m_explanation = explanationWidget(Res::LoadString(Res::IDS_WIZARD_PORT_EXPLANATION));

    m_kinds = new QComboBox;
    m_kinds->setObjectName(QStringLiteral("commType"));
    m_kinds->setToolTip(Res::LoadString(Res::IDS_WIZARD_TIP_KIND));
    Accessible::Name(*m_kinds, Res::IDS_A11Y_CONNECTION);   // its tooltip is the description

    m_serialGroup = new QGroupBox(Res::LoadString(Res::IDS_WIZARD_SERIAL_GROUP));
    m_scan = new QCheckBox(Res::LoadString(Res::IDS_WIZARD_SCAN));
    m_scan->setObjectName(QStringLiteral("scanPorts"));
    m_scan->setToolTip(Res::LoadString(Res::IDS_WIZARD_TIP_SCAN));
    m_comLabel = new QLabel(Res::LoadString(Res::IDS_WIZARD_COM_NUMBER));
    m_com = new QLineEdit;
    m_com->setObjectName(QStringLiteral("comPort"));
    m_com->setToolTip(Res::LoadString(Res::IDS_WIZARD_TIP_COM));
    m_com->setMaxLength(10);
    m_com->setMaximumWidth(90);
    m_comLabel->setBuddy(m_com);
    auto *serial = new QGridLayout(m_serialGroup);
    serial->addWidget(m_scan, 0, 0, 1, 3);
    serial->addWidget(m_comLabel, 1, 0);
    serial->addWidget(m_com, 1, 1);
    serial->setColumnStretch(2, 1);

    m_ethernetGroup = new QGroupBox(Res::LoadString(Res::IDS_WIZARD_ETHERNET_GROUP));
    m_ipLabel = new QLabel(Res::LoadString(Res::IDS_WIZARD_IP_ADDRESS));
    m_ip = new QLineEdit;
    m_ip->setObjectName(QStringLiteral("ipAddress"));
    m_ip->setToolTip(Res::LoadString(Res::IDS_WIZARD_TIP_IP));
    m_ip->setMaxLength(15);
    m_ip->setMaximumWidth(160);
    m_ip->setPlaceholderText(QStringLiteral("0.0.0.0"));
    m_ipLabel->setBuddy(m_ip);
    auto *ethernet = new QHBoxLayout(m_ethernetGroup);
    ethernet->addWidget(m_ipLabel);
    ethernet->addWidget(m_ip);
    ethernet->addStretch(1);

    m_stop = new QCheckBox(Res::LoadString(Res::IDS_WIZARD_STOP));
    m_stop->setObjectName(QStringLiteral("stopAfterFirst"));
    m_stop->setToolTip(Res::LoadString(Res::IDS_WIZARD_TIP_STOP));

    m_help = new QPushButton(Res::LoadString(Res::IDS_WIZARD_HELP));
    m_help->setObjectName(QStringLiteral("help"));
    m_help->setToolTip(Res::LoadString(Res::IDS_WIZARD_TIP_HELP));
    m_help->setAutoDefault(false);

    auto *kindRow = new QHBoxLayout;
    kindRow->addWidget(m_kinds, 1);
    kindRow->addStretch(1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_stop, 1);
    bottom->addWidget(m_help);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_explanation);
    layout->addSpacing(6);
    layout->addLayout(kindRow);
    layout->addWidget(m_serialGroup);
    layout->addWidget(m_ethernetGroup);
    layout->addLayout(bottom);
    layout->addStretch(1);

    connect(m_kinds, &QComboBox::currentIndexChanged, this, &CPortSelectPage::updateEnabling);
    connect(m_scan, &QCheckBox::clicked, this, &CPortSelectPage::updateEnabling);
    connect(m_help, &QPushButton::clicked, &m_sheet, &CDevSelectSheet::ShowHelp);
    auto *f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WidgetWithChildrenShortcut);
    connect(f1, &QShortcut::activated, &m_sheet, &CDevSelectSheet::ShowHelp);
}

void CPortSelectPage::initializePage()
{
    // The stored choices, once when the wizard opens.
    const SWizardSettings &state = m_sheet.State();
    if (!state.ipAddress.isEmpty())
        m_ip->setText(state.ipAddress);
    m_com->setText(QString::number(state.comPort));
    m_scan->setChecked(state.scanPorts);
    m_stop->setChecked(state.stopAfterFirst);
}

void CPortSelectPage::Activate()
{
    const std::uint32_t mask = m_sheet.PortMask();
    const QSignalBlocker quiet(m_kinds);
    m_kinds->clear();
    if (mask & Device::Port_Usb)
        m_kinds->addItem(Res::LoadString(Res::IDS_WIZARD_USB), int(Device::Port_Usb));
    if (mask & Device::Port_Ip)
        m_kinds->addItem(Res::LoadString(Res::IDS_WIZARD_ETHERNET), int(Device::Port_Ip));
    if (mask & Device::Port_Serial)
        m_kinds->addItem(Res::LoadString(Res::IDS_WIZARD_SERIAL), int(Device::Port_Serial));
    const int stored = m_kinds->findData(int(m_sheet.State().portKind));
    m_kinds->setCurrentIndex(stored >= 0 ? stored : 0);
    // Next only: nothing lies before this page.
    m_sheet.setButtonLayout({QWizard::Stretch, QWizard::NextButton, QWizard::CancelButton});
    updateEnabling();
}

Device::NPorts CPortSelectPage::SelectedKind() const
{
    return m_kinds->currentIndex() < 0 ? Device::Port_None : Device::NPorts(m_kinds->currentData().toInt());
}

void CPortSelectPage::updateEnabling()
{
    const Device::NPorts kind = SelectedKind();
    const bool serial = kind == Device::Port_Serial;
    const bool scanning = m_scan->isChecked();
    m_scan->setEnabled(serial);
    m_com->setEnabled(serial && !scanning);
    m_comLabel->setEnabled(serial && !scanning);
    m_stop->setEnabled(serial && scanning);
    m_ip->setEnabled(kind == Device::Port_Ip);
    m_ipLabel->setEnabled(kind == Device::Port_Ip);
}

bool CPortSelectPage::validatePage()
{
    IMessageService &messages = m_sheet.Services().messages;
    bool isNumber = false;
    const qlonglong com = m_com->text().trimmed().toLongLong(&isNumber);
    if (!isNumber || com < kMinComPort || com > kMaxComPort) {
        messages.Show(IMessageService::Icon::Warning,
                      isNumber ? Res::FormatString(Res::IDS_WIZARD_INT_RANGE, {kMinComPort, kMaxComPort})
                               : Res::LoadString(Res::IDS_WIZARD_INT));
        m_com->setFocus();
        m_com->selectAll();
        return false;
    }
    const Device::NPorts kind = SelectedKind();
    const QString address = m_ip->text().trimmed();
    if (kind == Device::Port_Ip && !isDottedAddress(address)) {
        messages.Show(IMessageService::Icon::Warning, Res::LoadString(Res::IDS_WIZARD_BAD_IP));
        m_ip->setFocus();
        return false;
    }
    SWizardSettings &state = m_sheet.State();
    state.portKind = kind;
    state.ipAddress = address;
    state.comPort = std::uint32_t(com);
    state.scanPorts = m_scan->isChecked();
    state.stopAfterFirst = m_stop->isChecked();
    return true;
}
