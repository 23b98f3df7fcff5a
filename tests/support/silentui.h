#pragma once
// A document that asks nothing: No to saving, Add all when synchronising,
// and an error fails the test.

#include "project/documentui.h"

#include <gtest/gtest.h>

namespace TestSupport {

class CSilentUi : public IDocumentUi
{
public:
    SaveAnswer AskSaveChanges() override { return SaveAnswer::No; }
    std::optional<QString> AskSavePath(const QString &) override { return std::nullopt; }
    std::optional<QString> AskOpenPath() override { return std::nullopt; }
    SyncAnswer AskSynchronize(int, int) override { return SyncAnswer::AddAll; }
    void ShowError(const QString &message) override { ADD_FAILURE() << message.toStdString(); }
};

}   // namespace TestSupport
