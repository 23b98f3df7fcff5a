#include "gui/datetimedlg.h"

#include "app/appsettings.h"
#include "data/timetext.h"
#include "gui/accessibletext.h"
#include "res/resources.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <ctime>

namespace {

constexpr std::int64_t kHour = 3600;

std::optional<std::int64_t> fromLocal(const QDate &date, const QTime &time)
{
    return TimeText::FromLocal(date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second());
}

QDateTime localDateTime(std::int64_t stamp)
{
    const std::optional<std::tm> t = TimeText::LocalTime(stamp);
    if (!t)
        return {};
    return QDateTime(QDate(t->tm_year + 1900, t->tm_mon + 1, t->tm_mday), QTime(t->tm_hour, t->tm_min, t->tm_sec));
}

}   // namespace

CDateTimeDlg::CDateTimeDlg(QWidget *parent)
    : QDialog(parent), m_currentDate(new QLineEdit(this)), m_currentTime(new QLineEdit(this)),
      m_date(new QDateEdit(this)), m_time(new QTimeEdit(this))
{
    setObjectName(QStringLiteral("dateTimeDialog"));
    setWindowTitle(Res::LoadString(Res::IDS_ADJUST_TIME_TITLE));
    m_currentDate->setObjectName(QStringLiteral("currentDate"));
    m_currentTime->setObjectName(QStringLiteral("currentTime"));
    m_date->setObjectName(QStringLiteral("newDate"));
    m_time->setObjectName(QStringLiteral("newTime"));
    for (QWidget *field : {static_cast<QWidget *>(m_currentDate), static_cast<QWidget *>(m_currentTime)})
        Accessible::Describe(*field, Res::IDS_A11Y_TIME_CURRENT);
    for (QWidget *field : {static_cast<QWidget *>(m_date), static_cast<QWidget *>(m_time)})
        Accessible::Describe(*field, Res::IDS_A11Y_TIME_NEW);
    // Read-only, and shown so: the window's colour, no Tab stop (the keys start
    // in the new date), and as high as the pickers beside them so that the
    // rows of both boxes line up.
    for (QLineEdit *shown : {m_currentDate, m_currentTime}) {
        shown->setReadOnly(true);
        shown->setFocusPolicy(Qt::ClickFocus);
        QPalette look = shown->palette();
        look.setColor(QPalette::Base, look.color(QPalette::Window));
        shown->setPalette(look);
        shown->setFixedHeight(m_date->sizeHint().height());
    }
    m_date->setCalendarPopup(true);
    // Local times convert from 1900 on.
    m_date->setDateRange(QDate(1900, 1, 1), QDate(9999, 12, 31));
    m_date->setDisplayFormat(QtDisplayFormat(Settings::GetDatePattern()));
    m_time->setDisplayFormat(QtDisplayFormat(TimePictureWithSeconds()));

    auto *current = new QGroupBox(Res::LoadString(Res::IDS_ADJUST_TIME_CURRENT), this);
    auto *currentForm = new QFormLayout(current);
    currentForm->addRow(Res::LoadString(Res::IDS_ADJUST_TIME_DATE), m_currentDate);
    currentForm->addRow(Res::LoadString(Res::IDS_ADJUST_TIME_TIME), m_currentTime);
    auto *adjusted = new QGroupBox(Res::LoadString(Res::IDS_ADJUST_TIME_AFTER), this);
    auto *adjustedForm = new QFormLayout(adjusted);
    adjustedForm->addRow(Res::LoadString(Res::IDS_ADJUST_TIME_DATE), m_date);
    adjustedForm->addRow(Res::LoadString(Res::IDS_ADJUST_TIME_TIME), m_time);
    auto *stamps = new QHBoxLayout;
    stamps->addWidget(current, 1);
    stamps->addWidget(new QLabel(QStringLiteral("-->"), this));
    stamps->addWidget(adjusted, 1);
    auto *info = new QGroupBox(Res::LoadString(Res::IDS_ADJUST_TIME_INFO), this);
    auto *infoLayout = new QVBoxLayout(info);
    auto *infoText = new QLabel(Res::LoadString(Res::IDS_ADJUST_TIME_INFO_TEXT), info);
    infoText->setWordWrap(true);
    infoLayout->addWidget(infoText);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(Res::LoadString(Res::IDS_BUTTON_OK), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ok"));
    Accessible::Describe(*ok, Res::IDS_A11Y_TIME_OK);
    ok->setDefault(true);
    QPushButton *cancel = buttons->addButton(Res::LoadString(Res::IDS_BUTTON_CANCEL), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancel"));
    Accessible::Describe(*cancel, Res::IDS_A11Y_CANCEL);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDateTimeDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDateTimeDlg::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(stamps);
    layout->addWidget(info);
    layout->addWidget(buttons);
}

QString CDateTimeDlg::TimePictureWithSeconds()
{
    return Settings::GetTimePattern().replace(QStringLiteral("mm"), QStringLiteral("mm:ss"));
}

QString CDateTimeDlg::QtDisplayFormat(const QString &picture)
{
    // The marker letters: Qt has only the two-letter form.
    QString format;
    for (qsizetype i = 0; i < picture.size(); ++i) {
        if (picture[i] == u't') {
            format += QStringLiteral("AP");
            if (i + 1 < picture.size() && picture[i + 1] == u't')
                ++i;
        } else {
            format += picture[i];
        }
    }
    return format;
}

std::int64_t CDateTimeDlg::ShownStamp(std::int64_t stamp)
{
    return TimeText::IsInDaylightSaving(stamp) ? stamp - kHour : stamp;
}

void CDateTimeDlg::SetCurrent(std::int64_t stamp)
{
    m_current = stamp;
    showStamps();
}

void CDateTimeDlg::SetAdjusted(std::int64_t stamp)
{
    m_adjusted = stamp;
    showStamps();
}

void CDateTimeDlg::showStamps()
{
    if (const std::optional<std::tm> t = TimeText::LocalTime(m_current)) {
        m_currentDate->setText(TimeText::FormatPicture(Settings::GetDatePattern(), *t));
        m_currentTime->setText(TimeText::FormatPicture(TimePictureWithSeconds(), *t));
    }
    const QDateTime adjusted = localDateTime(m_adjusted);
    m_date->setDate(adjusted.date());
    m_time->setTime(adjusted.time());
}

void CDateTimeDlg::accept()
{
    // Each picker keeps the part it does not show from the adjusted stamp:
    // the new date with the old time of day, and the old date with the new
    // time; their sum less the old stamp joins the new date and time.
    const QDateTime before = localDateTime(m_adjusted);
    const std::optional<std::int64_t> date = fromLocal(m_date->date(), before.time());
    const std::optional<std::int64_t> time = fromLocal(before.date(), m_time->time());
    if (!date || !time)
        return;   // a time the clock cannot hold: the dialog stays open
    std::int64_t adjusted = *date + *time - m_current;
    const bool adjustedSummer = TimeText::IsInDaylightSaving(adjusted);
    const bool currentSummer = TimeText::IsInDaylightSaving(m_current);
    if (adjustedSummer && !currentSummer)
        adjusted += kHour;
    else if (!adjustedSummer && currentSummer)
        adjusted -= kHour;
    m_adjusted = adjusted;
    QDialog::accept();
}
