#include "gui/documentui.h"

#include "gui/messageservice.h"
#include "gui/synchronizedlg.h"
#include "res/resources.h"

#include <QApplication>

SFileDialog ProjectFileDialog(const QString &initialName)
{
    return {Res::LoadString(Res::IDS_PROJECT_FILTER), QStringLiteral("qxs"), initialName, {}};
}

IDocumentUi::SaveAnswer CDocumentUi::AskSaveChanges()
{
    switch (m_messages.Show(IMessageService::Icon::Question, Res::LoadString(Res::IDS_SAVE_CHANGES),
                            IMessageService::Buttons::YesNoCancel)) {
    case IMessageService::Yes: return SaveAnswer::Yes;
    case IMessageService::No: return SaveAnswer::No;
    default: return SaveAnswer::Cancel;
    }
}

std::optional<QString> CDocumentUi::AskSavePath(const QString &initialName)
{
    return m_messages.AskSaveFile(ProjectFileDialog(initialName));
}

std::optional<QString> CDocumentUi::AskOpenPath()
{
    return m_messages.AskOpenFile(ProjectFileDialog());
}

IDocumentUi::SyncAnswer CDocumentUi::AskSynchronize(int incoming, int newOnes)
{
    CSynchronizeDlg dialog(incoming, newOnes, QApplication::activeWindow());
    m_messages.RunDialog(dialog);
    switch (dialog.Answer()) {
    case CSynchronizeDlg::kAddNewOnly: return SyncAnswer::AddNewOnly;
    case CSynchronizeDlg::kAddAll: return SyncAnswer::AddAll;
    default: return SyncAnswer::Cancel;
    }
}

void CDocumentUi::ShowError(const QString &message)
{
    m_messages.Show(IMessageService::Icon::Error, message);
}
