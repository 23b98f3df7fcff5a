#include "gui/reporter.h"

#include "gui/messageservice.h"

#include <QScopeGuard>
#include <QThread>

#include <cstdio>
#include <memory>

namespace {

IMessageService::Icon reportIcon(Res::ReportKind kind)
{
    switch (kind) {
    case Res::ReportKind::Information: return IMessageService::Icon::Information;
    case Res::ReportKind::Warning: return IMessageService::Icon::Warning;
    default: return IMessageService::Icon::Error;
    }
}

IMessageService::Icon messageIcon(Res::MessageIcon icon)
{
    switch (icon) {
    case Res::MessageIcon::Information: return IMessageService::Icon::Information;
    case Res::MessageIcon::Warning: return IMessageService::Icon::Warning;
    case Res::MessageIcon::Error: return IMessageService::Icon::Error;
    case Res::MessageIcon::Question: return IMessageService::Icon::Question;
    }
    return IMessageService::Icon::None;
}

}   // namespace

CGuiReporter::CGuiReporter(IMessageService &messages) : m_messages(messages) {}

CGuiReporter::~CGuiReporter()
{
    Shutdown();
}

int CGuiReporter::WaitingThreads()
{
    std::lock_guard guard(m_lock);
    return m_waiting;
}

void CGuiReporter::Shutdown()
{
    std::lock_guard guard(m_lock);
    m_closing = true;
    m_answered.notify_all();
}

template <class F>
auto CGuiReporter::onUiThread(F &&show, decltype(show()) fallback) -> decltype(show())
{
    using Result = decltype(show());
    if (QThread::currentThread() == m_context.thread())
        return show();
    // Not a blocking queued call: the user-interface thread may be waiting
    // for this very thread (the worker being stopped), and must be able to
    // release it.
    struct Pending
    {
        bool done = false;
        Result result{};
    };
    auto pending = std::make_shared<Pending>();
    {
        std::lock_guard guard(m_lock);
        if (m_closing)
            return fallback;
    }
    {
        std::lock_guard guard(m_lock);
        ++m_waiting;
    }
    const auto done = qScopeGuard([this] {
        std::lock_guard guard(m_lock);
        --m_waiting;
    });
    QMetaObject::invokeMethod(
        &m_context,
        [this, pending, show, fallback] {
            {
                std::lock_guard guard(m_lock);
                if (m_closing)
                    return;
            }
            Result r = fallback;
            try {
                r = show();
            } catch (...) {
                // The waiting thread gets the fallback answer rather than waiting on.
            }
            std::lock_guard guard(m_lock);
            pending->result = r;
            pending->done = true;
            m_answered.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock guard(m_lock);
    m_answered.wait(guard, [&] { return pending->done || m_closing; });
    return pending->done ? pending->result : fallback;
}

Res::ReportAnswer CGuiReporter::Show(Res::ReportKind kind, const QString &caption, const QString &text, bool withCancel)
{
    {
        std::lock_guard guard(m_lock);
        if (m_closing) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(QString(text).remove(u'\r')));
            return Res::ReportAnswer::Ok;
        }
    }
    return onUiThread(
        [this, kind, caption, text, withCancel] {
            const IMessageService::Answer a = m_messages.Show(
                reportIcon(kind), text, withCancel ? IMessageService::Buttons::OkCancel : IMessageService::Buttons::Ok,
                caption);
            return a == IMessageService::Cancel ? Res::ReportAnswer::Cancel : Res::ReportAnswer::Ok;
        },
        Res::ReportAnswer::Ok);
}

void CGuiReporter::Message(Res::MessageIcon icon, const QString &caption, const QString &text)
{
    {
        std::lock_guard guard(m_lock);
        if (m_closing) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(QString(text).remove(u'\r')));
            return;
        }
    }
    onUiThread(
        [this, icon, caption, text] {
            m_messages.Show(messageIcon(icon), text, IMessageService::Buttons::Ok, caption);
            return 0;
        },
        0);
}
