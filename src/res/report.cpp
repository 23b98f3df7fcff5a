#include "res/report.h"

#include "res/resources.h"

#include <atomic>
#include <cstdio>
#include <mutex>

namespace Res {
namespace {

std::atomic<IReporter *> g_reporter{nullptr};

struct Presentation
{
    StrId caption;
    bool paragraph;
    bool cancel;
};

Presentation presentation(ReportKind kind)
{
    switch (kind) {
    case ReportKind::Information: return {IDS_REPORT_INFORMATION, false, true};
    case ReportKind::Warning: return {IDS_REPORT_WARNING, false, true};
    case ReportKind::Error: return {IDS_REPORT_ERROR, true, true};
    case ReportKind::Fatal: return {IDS_REPORT_FATAL, true, false};
    }
    return {IDS_REPORT_ERROR, false, false};   // any other value
}

void printToStderr(const QString &caption, const QString &text)
{
    static std::mutex lock;
    std::lock_guard guard(lock);
    std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(QString(text).replace(u'\r', QString())));
}

}   // namespace

void SetReporter(IReporter *reporter)
{
    g_reporter.store(reporter);
}

ReportAnswer ReportMessage(ReportKind kind, const QString &text, const char *, int)
{
    const Presentation p = presentation(kind);
    const QString caption = LoadString(p.caption);
    const QString body = p.paragraph ? text + LoadString(IDS_REPORT_LOGFILE_PARAGRAPH) : text;
    if (IReporter *r = g_reporter.load())
        return r->Show(kind, caption, body, p.cancel);
    printToStderr(caption, text);
    return ReportAnswer::Ok;
}

void ShowMessage(MessageIcon icon, const QString &caption, const QString &text)
{
    if (IReporter *r = g_reporter.load()) {
        r->Message(icon, caption, text);
        return;
    }
    printToStderr(caption, text);
}

}   // namespace Res
