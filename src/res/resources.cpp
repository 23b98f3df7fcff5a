#include "res/resources.h"

#include <atomic>

namespace Res {
namespace {
std::atomic<const IStringSource *> g_source{nullptr};
}

void SetStringSource(const IStringSource *source)
{
    g_source.store(source, std::memory_order_release);
}

const IStringSource *StringSource()
{
    return g_source.load(std::memory_order_acquire);
}

QString LoadString(int id)
{
    if (const IStringSource *source = StringSource()) {
        if (std::optional<QString> text = source->find(id))
            return *text;
    }
    return BuiltinString(id);
}

}   // namespace Res
