#pragma once
// The project document's questions as the program asks them: message boxes,
// file dialogs and the synchronisation dialog, all through the message
// service.

#include "project/documentui.h"

class IMessageService;

class CDocumentUi : public IDocumentUi
{
public:
    explicit CDocumentUi(IMessageService &messages) : m_messages(messages) {}

    SaveAnswer AskSaveChanges() override;
    std::optional<QString> AskSavePath(const QString &initialName) override;
    std::optional<QString> AskOpenPath() override;
    SyncAnswer AskSynchronize(int incoming, int newOnes) override;
    void ShowError(const QString &message) override;

private:
    IMessageService &m_messages;
};

// The project files' dialog: filter and default suffix from the resources.
struct SFileDialog;
SFileDialog ProjectFileDialog(const QString &initialName = {});
