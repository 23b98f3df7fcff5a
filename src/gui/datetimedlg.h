#pragma once
// CDateTimeDlg ("Adjust time"): shows the clicked object's time stamp and
// lets the user enter a new date and time for it; the difference is the
// shift that every selected object's stamp takes.

#include <QDialog>

#include <cstdint>

class QDateEdit;
class QLineEdit;
class QTimeEdit;

class CDateTimeDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CDateTimeDlg(QWidget *parent = nullptr);

    // Stamps as the table shows them (one hour earlier in summer time).
    void SetCurrent(std::int64_t stamp);
    void SetAdjusted(std::int64_t stamp);
    // Adjusted minus current, after OK.
    std::int64_t GetShift() const { return m_adjusted - m_current; }

    void accept() override;

    // The stamp the table shows for `stamp`: 3600 s earlier in summer time.
    static std::int64_t ShownStamp(std::int64_t stamp);
    // A settings picture ("h:mm:ss tt") as a Qt display format ("h:mm:ss AP").
    static QString QtDisplayFormat(const QString &picture);
    // The time picture of the settings with seconds ("HH:mm" → "HH:mm:ss").
    static QString TimePictureWithSeconds();

private:
    void showStamps();

    std::int64_t m_current = 0;
    std::int64_t m_adjusted = 0;
    QLineEdit *m_currentDate;
    QLineEdit *m_currentTime;
    QDateEdit *m_date;
    QTimeEdit *m_time;
};
