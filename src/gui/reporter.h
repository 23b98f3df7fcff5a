#pragma once
// CGuiReporter: ReportMessage and the plain messages of the core layers shown
// as message boxes. A call from another thread (the instrument worker) is
// carried to the user-interface thread and waits there for the user's answer.

#include "res/report.h"

#include <QObject>

#include <condition_variable>
#include <mutex>

class IMessageService;

class CGuiReporter : public Res::IReporter
{
public:
    // Create on the user-interface thread; `messages` must outlive it.
    explicit CGuiReporter(IMessageService &messages);
    ~CGuiReporter() override;

    Res::ReportAnswer Show(Res::ReportKind kind, const QString &caption, const QString &text, bool withCancel) override;
    void Message(Res::MessageIcon icon, const QString &caption, const QString &text) override;

    // Releases every thread that still waits for an answer (with OK) and
    // answers later calls on stderr: the user-interface thread is about to
    // wait for the worker, which must not wait for it in turn.
    void Shutdown();
    // How many other threads wait for an answer now.
    int WaitingThreads();

private:
    template <class F>
    auto onUiThread(F &&show, decltype(show()) fallback) -> decltype(show());

    IMessageService &m_messages;
    QObject m_context;   // lives on the user-interface thread
    std::mutex m_lock;
    std::condition_variable m_answered;
    bool m_closing = false;
    int m_waiting = 0;
};
