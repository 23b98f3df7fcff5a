#pragma once
// CPortSelectPage: how the instrument is connected (the communication types
// its driver supports) and the port details.

#include "instrument/instrumentservice.h"

#include <QWizardPage>

class CDevSelectSheet;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CPortSelectPage : public QWizardPage
{
    Q_OBJECT
public:
    explicit CPortSelectPage(CDevSelectSheet &sheet);

    // Each time the page becomes the current one.
    void Activate();
    // The port kind of the selected entry.
    Device::NPorts SelectedKind() const;

    // The controls, for tests.
    QComboBox *KindList() const { return m_kinds; }
    QCheckBox *ScanBox() const { return m_scan; }
    QLineEdit *ComField() const { return m_com; }
    QLineEdit *IpField() const { return m_ip; }
    QCheckBox *StopBox() const { return m_stop; }

    void initializePage() override;
    bool validatePage() override;

private:
    void updateEnabling();

    CDevSelectSheet &m_sheet;
    QWidget *m_explanation;
    QComboBox *m_kinds;
    QGroupBox *m_serialGroup;
    QCheckBox *m_scan;
    QLabel *m_comLabel;
    QLineEdit *m_com;
    QGroupBox *m_ethernetGroup;
    QLabel *m_ipLabel;
    QLineEdit *m_ip;
    QCheckBox *m_stop;
    QPushButton *m_help;
};
