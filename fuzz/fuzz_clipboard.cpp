// Any program can put a block under the private clipboard format.
#include "project/vetradoc.h"
#include "streamio/streamtable.h"

#include <cstddef>
#include <cstdint>

namespace {

class SilentUi : public IDocumentUi
{
public:
    SaveAnswer AskSaveChanges() override { return SaveAnswer::No; }
    std::optional<QString> AskSavePath(const QString &) override { return std::nullopt; }
    std::optional<QString> AskOpenPath() override { return std::nullopt; }
    SyncAnswer AskSynchronize(int, int) override { return SyncAnswer::AddAll; }
    void ShowError(const QString &) override {}
};

class FixedClipboard : public IProjectClipboard
{
public:
    explicit FixedClipboard(QByteArray block) : m_block(std::move(block)) {}
    bool SetProjectData(const QByteArray &) override { return false; }
    std::optional<QByteArray> ProjectData() const override { return m_block; }

private:
    QByteArray m_block;
};

}   // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    StreamIO::InitStreamLayer();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    SilentUi ui;
    CVetraDoc doc(ui);
    const FixedClipboard clipboard(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    (void)doc.CanPaste(clipboard);
    // A payload either pastes completely or changes nothing.
    if (!doc.PasteFromClipboard(clipboard) && (doc.HasObjects() || doc.IsModified()))
        __builtin_trap();
    return 0;
}
