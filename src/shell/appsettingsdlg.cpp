#include "shell/appsettingsdlg.h"

#include "app/appsettings.h"
#include "data/timetext.h"
#include "gui/accessibletext.h"
#include "res/resources.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include <ctime>

CAppSettings::CAppSettings(QWidget *parent)
    : QDialog(parent), m_language(new QComboBox(this)), m_date(new QComboBox(this)), m_time(new QComboBox(this)),
      m_group(new QGroupBox(this)), m_assessmentGroup(new QGroupBox(this)), m_cover(new QLineEdit(this)),
      m_quantile(new QDoubleSpinBox(this))
{
    setObjectName(QStringLiteral("appSettings"));
    setWindowTitle(Res::LoadString(Res::IDS_SETTINGS_TITLE));
    m_language->setObjectName(QStringLiteral("language"));
    m_date->setObjectName(QStringLiteral("dateFormat"));
    m_time->setObjectName(QStringLiteral("timeFormat"));
    m_group->setObjectName(QStringLiteral("dateTimeGroup"));

    auto *languageForm = new QFormLayout;
    languageForm->addRow(Res::LoadString(Res::IDS_SETTINGS_LANGUAGE), m_language);
    auto *dateTimeForm = new QFormLayout(m_group);
    dateTimeForm->addRow(Res::LoadString(Res::IDS_SETTINGS_DATE_FORMAT), m_date);
    dateTimeForm->addRow(Res::LoadString(Res::IDS_SETTINGS_TIME_FORMAT), m_time);

    // The cover assessment: a required cover (empty: none) and the quantile.
    m_assessmentGroup->setTitle(Res::LoadString(Res::IDS_SETTINGS_ASSESSMENT));
    m_assessmentGroup->setObjectName(QStringLiteral("assessmentGroup"));
    m_cover->setObjectName(QStringLiteral("requiredCover"));
    m_cover->setValidator(new QDoubleValidator(0.0, 254.9, 1, m_cover));
    m_cover->setPlaceholderText(Res::LoadString(Res::IDS_SETTINGS_NO_LIMIT));
    m_quantile->setObjectName(QStringLiteral("quantile"));
    m_quantile->setRange(0.1, 50.0);
    m_quantile->setDecimals(1);
    m_quantile->setSingleStep(0.5);
    m_quantile->setSuffix(QStringLiteral(" %"));
    const SAssessmentSettings &assessment = Settings::Current().assessment;
    if (assessment.requiredCover)
        m_cover->setText(locale().toString(*assessment.requiredCover));
    m_quantile->setValue(assessment.quantile * 100.0);
    auto *assessmentForm = new QFormLayout(m_assessmentGroup);
    assessmentForm->addRow(Res::LoadString(Res::IDS_SETTINGS_REQUIRED_COVER), m_cover);
    assessmentForm->addRow(Res::LoadString(Res::IDS_SETTINGS_QUANTILE), m_quantile);

    m_labels = {languageForm->labelForField(m_language), dateTimeForm->labelForField(m_date),
                dateTimeForm->labelForField(m_time), assessmentForm->labelForField(m_cover),
                assessmentForm->labelForField(m_quantile)};

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(Res::LoadString(Res::IDS_BUTTON_OK), QDialogButtonBox::AcceptRole);
    QPushButton *cancel = buttons->addButton(Res::LoadString(Res::IDS_BUTTON_CANCEL), QDialogButtonBox::RejectRole);
    QPushButton *reset = buttons->addButton(Res::LoadString(Res::IDS_BUTTON_RESET), QDialogButtonBox::ResetRole);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    cancel->setObjectName(QStringLiteral("cancel"));
    reset->setObjectName(QStringLiteral("reset"));
    // A combo box reads as its current choice: name each after its label.
    Accessible::Set(*m_language, Res::IDS_SETTINGS_LANGUAGE, Res::IDS_A11Y_LANGUAGE);
    Accessible::Set(*m_date, Res::IDS_SETTINGS_DATE_FORMAT, Res::IDS_A11Y_DATE_FORMAT);
    Accessible::Set(*m_time, Res::IDS_SETTINGS_TIME_FORMAT, Res::IDS_A11Y_TIME_FORMAT);
    Accessible::Set(*m_quantile, Res::IDS_SETTINGS_QUANTILE, Res::IDS_A11Y_QUANTILE);
    Accessible::Describe(*ok, Res::IDS_A11Y_SETTINGS_OK);
    Accessible::Describe(*cancel, Res::IDS_A11Y_CANCEL);
    Accessible::Describe(*reset, Res::IDS_A11Y_SETTINGS_RESET);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAppSettings::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CAppSettings::reject);
    connect(reset, &QPushButton::clicked, this, &CAppSettings::Reset);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(languageForm);
    layout->addWidget(m_group);
    layout->addWidget(m_assessmentGroup);
    layout->addWidget(buttons);

    fillLanguageList();
    for (int i = 0; i < 4; ++i) {
        m_date->addItem(Res::LoadString(Res::IDS_DATE_PATTERN_0 + i));
        m_time->addItem(Res::LoadString(Res::IDS_TIME_PATTERN_0 + i));
    }
    const std::uint32_t format = Settings::Current().dtFormat;
    const std::uint32_t date = (format >> 8) & 0xFF;
    const std::uint32_t time = format & 0xFF;
    m_date->setCurrentIndex(date <= 3 ? int(date) : 0);
    m_time->setCurrentIndex(time <= 3 ? int(time) : 0);
    connect(m_date, &QComboBox::currentIndexChanged, this, &CAppSettings::updatePreview);
    connect(m_time, &QComboBox::currentIndexChanged, this, &CAppSettings::updatePreview);
    updatePreview();
    setMinimumWidth(500);
}

void CAppSettings::fillLanguageList()
{
    m_languages.clear();
    m_language->clear();
    for (const SLanguageEntry &entry : FindLanguages(Settings::ProgramFolder())) {
        if (!entry.usable)
            continue;
        m_languages.append(entry);
        m_language->addItem(entry.info.GetInternalName());
        if (IsChosenLanguage(entry))
            m_language->setCurrentIndex(m_language->count() - 1);
    }
}

void CAppSettings::updatePreview()
{
    const std::int64_t now = std::int64_t(std::time(nullptr));
    QString preview = Res::LoadString(Res::IDS_DATETIME_PREVIEW) + QStringLiteral("  ");
    if (const std::optional<std::tm> t = TimeText::LocalTime(now)) {
        preview += TimeText::FormatPicture(m_date->currentText(), *t) + u' '
                   + TimeText::FormatPicture(m_time->currentText(), *t);
    }
    m_group->setTitle(preview);
}

void CAppSettings::Reset()
{
    m_language->setCurrentIndex(0);
    m_date->setCurrentIndex(0);
    m_time->setCurrentIndex(0);
    updatePreview();
}

void CAppSettings::accept()
{
    m_languageChanged = m_dateTimeChanged = false;
    const int selected = m_language->currentIndex();
    if (selected < 0 || selected >= m_languages.size())
        return;   // nothing chosen: the dialog stays open
    const SLanguageEntry &language = m_languages[selected];
    if (!IsChosenLanguage(language))
        m_languageChanged = true;
    const std::uint32_t format = std::uint32_t(m_date->currentIndex()) * 256 + std::uint32_t(m_time->currentIndex());
    if (format != Settings::Current().dtFormat)
        m_dateTimeChanged = true;
    if (m_dateTimeChanged)
        Settings::SaveDateTimeFormat(format);
    SAssessmentSettings assessment;
    const QString cover = m_cover->text().trimmed();
    if (!cover.isEmpty()) {
        bool ok = false;
        const double mm = locale().toDouble(cover, &ok);
        if (!ok || mm < 0 || mm >= 255) {
            m_cover->setFocus();
            return;   // not a cover: the dialog stays open
        }
        assessment.requiredCover = mm;
    }
    assessment.quantile = m_quantile->value() / 100.0;
    const SAssessmentSettings &before = Settings::Current().assessment;
    if (assessment.requiredCover != before.requiredCover || assessment.quantile != before.quantile)
        Settings::SaveAssessment(assessment);
    if (m_languageChanged)
        Settings::SetLanguageFile(LanguageFileOf(language));
    QDialog::accept();
}

void CAppSettings::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    alignFields();
}

void CAppSettings::alignFields()
{
    // The language row stands outside the boxes below it: widen the labels
    // of the rows whose fields start further left, so that every field
    // starts at one x.
    auto settle = [this] {
        layout()->activate();
        m_group->layout()->activate();   // a box's own layout is not settled by the dialog's
        m_assessmentGroup->layout()->activate();
    };
    settle();
    const std::array<QWidget *, 5> fields{m_language, m_date, m_time, m_cover, m_quantile};
    int target = 0;
    for (QWidget *field : fields)
        target = std::max(target, field->mapTo(this, QPoint()).x());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const int by = target - fields[i]->mapTo(this, QPoint()).x();
        if (by > 0 && m_labels[i])
            m_labels[i]->setMinimumWidth(m_labels[i]->width() + by);
    }
    settle();
}
