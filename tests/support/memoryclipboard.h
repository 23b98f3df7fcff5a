#pragma once
// The private clipboard format kept in memory, for tests of copy and paste
// that need no real clipboard.

#include "project/documentui.h"

#include <QByteArray>

#include <optional>

namespace TestSupport {

class CMemoryClipboard : public IProjectClipboard
{
public:
    bool SetProjectData(const QByteArray &block) override
    {
        data = block;
        return true;
    }
    std::optional<QByteArray> ProjectData() const override { return data; }

    std::optional<QByteArray> data;
};

}   // namespace TestSupport
