#pragma once
// A message service that asks nothing, for the window benchmarks.

#include "gui/messageservice.h"

#include <QDialog>

namespace Bench {

class CNoMessages : public IMessageService
{
public:
    Answer Show(Icon, const QString &, Buttons, const QString &) override { return Yes; }
    std::optional<QString> AskOpenFile(const SFileDialog &) override { return std::nullopt; }
    QStringList AskOpenFiles(const SFileDialog &) override { return {}; }
    std::optional<QString> AskSaveFile(const SFileDialog &) override { return std::nullopt; }
    int RunDialog(QDialog &) override { return QDialog::Rejected; }
};

} // namespace Bench
