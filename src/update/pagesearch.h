#pragma once
// CPageSearch: connects to the update server, lists the program's folder
// there and says whether a newer version exists.

#include "update/updateworker.h"

#include <QWizardPage>

class CAutoUpdate;
class QLabel;

class CPageSearch : public QWizardPage
{
    Q_OBJECT
public:
    enum class State { Connecting, Searching, Failed, ListFailed, NoUpdate, Found };

    explicit CPageSearch(CAutoUpdate &wizard);

    void Activate();
    void Stop() { m_worker.Stop(); }
    State CurrentState() const { return m_state; }

    QLabel *TitleLine() const { return m_title; }
    QLabel *StatusLine() const { return m_status; }
    QLabel *ResultArea() const { return m_result; }

    void initializePage() override;
    bool isComplete() const override;
    int nextId() const override;

private:
    void connected();
    void connectFailed(const QString &error);
    void listed(bool ok, const QString &error, const SUpdateChoice &choice);
    void showResult();
    void setState(State state);

    CAutoUpdate &m_wizard;
    QLabel *m_title;
    QLabel *m_status;
    QLabel *m_result;
    State m_state = State::Connecting;
    CUpdateWorker m_worker;
};
