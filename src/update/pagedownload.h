#pragma once
// CPageDownload: copies the chosen installer next to the program (or where
// the user says, when that folder cannot be written), then starts it.

#include "update/updateworker.h"

#include <QWizardPage>

#include <cstdint>
#include <memory>

class CAutoUpdate;
class CInstallerDownload;
class QLabel;
class QProgressBar;

class CPageDownload : public QWizardPage
{
    Q_OBJECT
public:
    enum class State { Starting, Transferring, Stuck, Failed, Launched };

    explicit CPageDownload(CAutoUpdate &wizard);
    ~CPageDownload() override;

    void Activate();
    // Cancel: the transfer ends and its partial file goes.
    void Stop();
    State CurrentState() const { return m_state; }

    QLabel *TitleLine() const { return m_title; }
    QProgressBar *Bar() const { return m_bar; }
    QLabel *AmountLine() const { return m_amount; }
    // How often the amount line was rewritten (it changes only with its text).
    int AmountUpdates() const { return m_amountUpdates; }

    void initializePage() override;
    bool isComplete() const override;

private:
    void start();
    void progress(std::uint64_t received);
    void connectFailed(const QString &error);
    void finished(int result);
    void launch();
    void showDownloadError(const QString &text);
    void setState(State state);

    CAutoUpdate &m_wizard;
    QLabel *m_title;
    QProgressBar *m_bar;
    QLabel *m_amount;
    State m_state = State::Starting;
    QString m_localPath;
    std::unique_ptr<CInstallerDownload> m_download;
    CUpdateWorker m_worker;
    int m_amountUpdates = 0;
};
