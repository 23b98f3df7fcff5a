#pragma once
// CAppSettings: the language and the date and time patterns. OK stores only
// what changed; a new language takes effect at once.

#include "app/language.h"

#include <QDialog>
#include <QList>

#include <array>

class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLineEdit;

class CAppSettings : public QDialog
{
    Q_OBJECT
public:
    explicit CAppSettings(QWidget *parent = nullptr);

    bool LanguageChanged() const { return m_languageChanged; }

    void accept() override;
    // Entry 0 in all three lists; the dialog stays open.
    void Reset();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void alignFields();
    void fillLanguageList();
    void updatePreview();

    QComboBox *m_language;
    QComboBox *m_date;
    QComboBox *m_time;
    QGroupBox *m_group;
    QGroupBox *m_assessmentGroup;
    QLineEdit *m_cover;
    QDoubleSpinBox *m_quantile;
    std::array<QWidget *, 5> m_labels{};   // language, date, time, required cover, quantile
    QList<SLanguageEntry> m_languages;     // list position = entry
    bool m_languageChanged = false;
    bool m_dateTimeChanged = false;
};
