#include "streamio/ramstream.h"

#include "streamio/ramdisk.h"

namespace StreamIO {

CRamStream::~CRamStream()
{
    try {
        Close();
    } catch (const StreamError &) {
    }
}

template <class F>
auto CRamStream::guarded(F &&operation) -> decltype(operation())
{
    try {
        return operation();
    } catch (const StreamError &e) {
        Raise(e.code());
    }
}

CRamFile &CRamStream::file()
{
    if (!m_file)
        Raise(ERR_INVALID_HANDLE);
    return *m_file;
}

bool CRamStream::Open(const QString &name, std::uint32_t flags)
{
    if (IsOpen()) {
        SetError(ERR_NOT_SUPPORTED);
        return false;
    }
    const QString full = name.startsWith(u"RAM:", Qt::CaseInsensitive) ? name : QStringLiteral("RAM:") + name;
    SetNameAndFlags(full, flags);
    SetError(ERR_GEN_FAILURE);
    CRamDisk *disk = RamDisk();
    if (!disk)
        Raise(ERR_INVALID_HANDLE);   // the stream layer is not running
    m_file = guarded([&] { return disk->OpenFile(full, flags); });
    m_position = 0;
    if (!m_file)
        Raise(ERR_OUTOFMEMORY);
    SetError(0);
    return true;
}

void CRamStream::Close()
{
    if (m_file) {
        if (CRamDisk *disk = RamDisk())
            disk->CloseFile(m_file, GetFlags());
    }
    m_file = nullptr;
    m_position = 0;
    SetError(0);
}

void CRamStream::ClearInput()
{
    if (file().IsFifo())
        m_file->SetEnd(0);
}

int CRamStream::Read(void *buffer, int count)
{
    CRamFile &f = file();
    CheckRead(count);
    const std::uint32_t n = f.ReadAt(m_position, buffer, std::uint32_t(count));
    SetError(n == 0 && count > 0 ? ERR_HANDLE_EOF : 0);
    return int(n);
}

int CRamStream::Write(const void *buffer, int count)
{
    CRamFile &f = file();
    CheckWrite(count);
    const std::uint32_t n = guarded([&] { return f.WriteAt(m_position, buffer, std::uint32_t(count)); });
    SetError(0);
    return int(n);
}

bool CRamStream::IsRandomAccess()
{
    file();
    return !(GetFlags() & SO_FIFO);
}

std::uint32_t CRamStream::GetLength()
{
    return file().GetLength();
}

std::uint32_t CRamStream::GetCapacity()
{
    return file().Capacity();
}

std::uint32_t CRamStream::Seek(int offset, int origin)
{
    CRamFile &f = file();
    if (!guarded([&] { return f.SeekIn(m_position, offset, origin); }))
        Raise(ERR_SEEK_ON_DEVICE);
    return m_position;
}

void CRamStream::Truncate()
{
    CRamFile &f = file();
    if (!(GetFlags() & SO_WRITE))
        Raise(ERR_WRITE_FAULT);
    guarded([&] { f.SetEnd(m_position); });
}

}   // namespace StreamIO
