#pragma once
// CAppSettings: the language and the date and time patterns. OK stores only
// what changed; a new language takes effect at once.

#include "app/language.h"

#include <QDialog>
#include <QList>

class QComboBox;
class QGroupBox;

class CAppSettings : public QDialog
{
    Q_OBJECT
public:
    explicit CAppSettings(QWidget *parent = nullptr);

    bool AnyChanged() const { return m_anyChanged; }
    bool LanguageChanged() const { return m_languageChanged; }
    bool DateTimeChanged() const { return m_dateTimeChanged; }

    void accept() override;
    // Entry 0 in all three lists; the dialog stays open.
    void Reset();

private:
    void fillLanguageList();
    void updatePreview();

    QComboBox *m_language;
    QComboBox *m_date;
    QComboBox *m_time;
    QGroupBox *m_group;
    QList<SLanguageEntry> m_languages;   // list position = entry
    bool m_anyChanged = false;
    bool m_languageChanged = false;
    bool m_dateTimeChanged = false;
};
