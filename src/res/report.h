#pragma once
// ReportMessage: the report of failures that end an operation unexpectedly.
// The desktop program installs a reporter that shows a message box; without
// one the report goes to stderr. May be called from any thread.

#include <QString>

namespace Res {

enum class ReportKind : int {
    Information = 0,
    Warning = 1,
    Error = 2,
    Fatal = 3,
};

enum class ReportAnswer { Ok, Cancel };

enum class MessageIcon { Information, Warning, Error, Question };

class IReporter
{
public:
    virtual ~IReporter() = default;
    // `caption` and `text` are complete (the log-file paragraph appended
    // where the kind wants it); `withCancel` asks for OK and Cancel.
    virtual ReportAnswer Show(ReportKind kind, const QString &caption, const QString &text, bool withCancel) = 0;
    // An ordinary message with OK.
    virtual void Message(MessageIcon icon, const QString &caption, const QString &text) = 0;
};

// Replaces the reporter; null restores the stderr default. The caller keeps
// ownership.
void SetReporter(IReporter *reporter);

ReportAnswer ReportMessage(ReportKind kind, const QString &text, const char *file = nullptr, int line = 0);

// An ordinary message box (with OK) through the reporter; stderr without one.
void ShowMessage(MessageIcon icon, const QString &caption, const QString &text);

}   // namespace Res

#define VETRA_REPORT(kind, text) ::Res::ReportMessage((kind), (text), __FILE__, __LINE__)
