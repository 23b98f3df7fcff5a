#pragma once
// CDevFoundPage: searches the chosen ports through the instrument service and
// lists the instruments found; Finish makes the selected one the held one.

#include "instrument/instrumentservice.h"

#include <QWizardPage>

#include <vector>

class CDevSelectSheet;
class QListWidget;
class QPlainTextEdit;

class CDevFoundPage : public QWizardPage
{
    Q_OBJECT
public:
    explicit CDevFoundPage(CDevSelectSheet &sheet);
    ~CDevFoundPage() override;

    // Each time the page becomes the current one: drops earlier results and
    // starts a new search.
    void Activate();
    bool IsSearching() const { return m_searching; }
    // Stops a running search; the service ends it in the background.
    void AbortSearch();

    // The line shown for a found instrument: serial number and port.
    static QString DeviceLine(const Instrument::SFoundInstrument &found);

    QListWidget *DeviceList() const { return m_list; }
    QPlainTextEdit *StatusField() const { return m_status; }
    QPlainTextEdit *InfoField() const { return m_info; }
    int FoundCount() const { return int(m_found.size()); }

    bool isComplete() const override;
    bool validatePage() override;
    void cleanupPage() override;

private:
    void startSearch();
    void onStatus(const QString &text);
    void onFound(const Instrument::SFoundInstrument &found);
    void onBadConnection();
    void onFinished(const Instrument::SCallResult &result);
    void searchEnded();
    void selectionChanged();
    void discardResults();
    void setButtons(bool withBack);

    CDevSelectSheet &m_sheet;
    QPlainTextEdit *m_status;
    QListWidget *m_list;
    QPlainTextEdit *m_info;
    std::vector<Instrument::SFoundInstrument> m_found;   // by list row
    bool m_searching = false;
    bool m_waitingForService = false;   // an earlier search is still ending
};
