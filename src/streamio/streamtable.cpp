#include "streamio/streamtable.h"

#include "streamio/filestream.h"
#include "streamio/ipstream.h"
#include "streamio/ramdisk.h"
#include "streamio/ramstream.h"
#include "streamio/rs232stream.h"

#include <memory>
#include <mutex>
#include <vector>

namespace StreamIO {
namespace {

constexpr std::uint32_t kSlotMask = 0x3FF;
constexpr std::uint32_t kGenerationStep = 0x400;

struct Table
{
    std::mutex lock;
    std::vector<CIoStream *> slots;
    std::uint32_t generation = kGenerationStep;
};

Table &table()
{
    static Table t;
    return t;
}

bool startsWithNoCase(const QString &text, QStringView prefix)
{
    return text.startsWith(prefix, Qt::CaseInsensitive);
}

CIoStream *OpenSerialStream(const QString &name, std::uint32_t flags)
{
    std::uint32_t port = 0;
    IsSerialPortName(name, &port);
    return new CRs232Stream(port, flags, nullptr);
}

CIoStream *OpenIpStream(const QString &name, std::uint32_t flags)
{
    auto stream = std::make_unique<CIpStream>();
    stream->Open(name, flags);
    return stream.release();
}

}   // namespace

StreamHandle StreamTable::Register(CIoStream *stream)
{
    Table &t = table();
    std::lock_guard guard(t.lock);
    std::size_t slot = 0;
    while (slot < t.slots.size() && t.slots[slot])
        ++slot;
    if (slot >= std::size_t(kMaxStreams))
        return 0;   // the stream works, but other code cannot find it by handle
    if (slot == t.slots.size())
        t.slots.push_back(nullptr);
    t.slots[slot] = stream;
    const StreamHandle handle = std::uint32_t(slot) | (t.generation & ~kSlotMask);
    t.generation += kGenerationStep;
    if (t.generation == 0)
        t.generation = kGenerationStep;
    return handle;
}

void StreamTable::Unregister(CIoStream *stream)
{
    Table &t = table();
    std::lock_guard guard(t.lock);
    const std::size_t slot = stream->m_handle & kSlotMask;
    if (slot < t.slots.size() && t.slots[slot] == stream)
        t.slots[slot] = nullptr;
}

void StreamTable::AbortAll()
{
    Table &t = table();
    std::lock_guard guard(t.lock);
    for (CIoStream *s : t.slots)
        if (s)
            s->Abort();
    std::fill(t.slots.begin(), t.slots.end(), nullptr);
}

void InitStreamLayer()
{
    CreateRamDisk();
}

void ShutdownStreamLayer()
{
    StreamTable::AbortAll();
    DestroyRamDisk();
}

CIoStream *FindStream(StreamHandle handle)
{
    Table &t = table();
    std::lock_guard guard(t.lock);
    const std::size_t slot = handle & kSlotMask;
    if (slot < t.slots.size() && t.slots[slot] && t.slots[slot]->GetHandle() == handle)
        return t.slots[slot];
    return nullptr;
}

std::uint32_t CloseStreamByHandle(StreamHandle handle)
{
    CIoStream *stream = FindStream(handle);
    if (!stream)
        return ERR_INVALID_HANDLE;
    try {
        stream->Close();
        return 0;
    } catch (const StreamError &e) {
        return e.code();
    } catch (...) {
        return ERR_INVALID_DATA;
    }
}

bool IsSerialPortName(const QString &name, std::uint32_t *port)
{
    if (!startsWithNoCase(name, u"COM"))
        return false;
    qsizetype i = 3;
    std::uint64_t number = 0;
    while (i < name.size() && name[i] >= u'0' && name[i] <= u'9') {
        number = std::min<std::uint64_t>(number * 10 + (name[i].unicode() - u'0'), 0x100000000ULL);
        ++i;
    }
    if (i == 3)
        return false;
    if (i < name.size() && name[i] == u':')
        ++i;
    if (i != name.size())
        return false;
    if (port)
        *port = number > 0xFFFFFFFFULL ? 0 : std::uint32_t(number);
    return true;
}

CIoStream *OpenStream(const QString &name, std::uint32_t flags)
{
    if (IsSerialPortName(name))
        return OpenSerialStream(name, flags);
    std::unique_ptr<CIoStream> stream;
    if (startsWithNoCase(name, u"RAM:")) {
        auto ram = std::make_unique<CRamStream>();
        ram->Open(name, flags);
        stream = std::move(ram);
    } else if (startsWithNoCase(name, u"IP:")) {
        return OpenIpStream(name, flags);
    } else {
        auto file = std::make_unique<CFileStream>();
        file->Open(name, flags);
        stream = std::move(file);
    }
    return stream.release();
}

}   // namespace StreamIO
