#pragma once
// CDevFoundPage: searches the chosen ports on the instrument worker and lists
// the instruments found; Finish takes the selected one.

#include <QWizardPage>

#include <cstdint>
#include <memory>
#include <vector>

class CDevSelectSheet;
class QListWidget;
class QPlainTextEdit;

namespace Device {
class CQxDevice;
}

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
    // Stops a running search, waiting up to 8 s for the worker.
    void AbortSearch();

    // The search's reports, queued onto this thread by the relay.
    void OnSearchStatus(std::uint64_t search, const QString &text);
    void OnSearchResult(std::uint64_t search, std::unique_ptr<Device::CQxDevice> device, bool ended);

    // The line shown for a found instrument: serial number and port.
    static QString DeviceLine(Device::CQxDevice &device, const QString &serialNumber);

    QListWidget *DeviceList() const { return m_list; }
    QPlainTextEdit *StatusField() const { return m_status; }
    QPlainTextEdit *InfoField() const { return m_info; }
    int FoundCount() const { return int(m_found.size()); }

    bool isComplete() const override;
    bool validatePage() override;
    void cleanupPage() override;

private:
    void startSearch();
    void searchEnded();
    void selectionChanged();
    void discardResults();
    void setButtons(bool withBack);

    CDevSelectSheet &m_sheet;
    QPlainTextEdit *m_status;
    QListWidget *m_list;
    QPlainTextEdit *m_info;
    std::vector<std::unique_ptr<Device::CQxDevice>> m_found;   // by list row
    std::uint64_t m_search = 0;
    bool m_searching = false;
};
