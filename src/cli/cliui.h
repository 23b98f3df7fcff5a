#pragma once
// The document's questions, answered for a headless run: nothing is asked,
// messages go to stderr.

#include "cli/cli.h"
#include "project/documentui.h"

namespace Cli {

class CliDocumentUi : public IDocumentUi
{
public:
    explicit CliDocumentUi(Io io) : m_io(io) {}

    void SetSyncAnswer(SyncAnswer answer) { m_sync = answer; }
    // A prefix for messages, usually the file the command works on.
    void SetContext(const QString &context) { m_context = context; }

    SaveAnswer AskSaveChanges() override { return SaveAnswer::No; }
    std::optional<QString> AskSavePath(const QString &) override { return std::nullopt; }
    std::optional<QString> AskOpenPath() override { return std::nullopt; }
    SyncAnswer AskSynchronize(int incoming, int newOnes) override;
    void ShowError(const QString &message) override;

private:
    Io m_io;
    SyncAnswer m_sync = SyncAnswer::AddNewOnly;
    QString m_context;
};

}   // namespace Cli
