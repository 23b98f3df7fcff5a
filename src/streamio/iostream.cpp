#include "streamio/iostream.h"

#include "streamio/streamtable.h"

namespace StreamIO {

CIoStream::CIoStream()
{
    m_handle = StreamTable::Register(this);
}

CIoStream::~CIoStream()
{
    StreamTable::Unregister(this);
}

void CIoStream::Abort()
{
    try {
        Close();
    } catch (const StreamError &) {
    }
}

bool CIoStream::GetTimeouts(int &, int &)
{
    return false;
}

bool CIoStream::SetTimeouts(int, int)
{
    return false;
}

bool CIoStream::IsTimeoutOrEnd()
{
    const std::uint32_t code = GetErrorCode();
    return code == ERR_HANDLE_EOF || code == ERR_TIMEOUT;
}

std::uint8_t CIoStream::ReadByte()
{
    std::uint8_t b = 0;
    Read(&b, 1);
    return b;
}

int CIoStream::WriteByte(std::uint8_t b)
{
    return Write(&b, 1);
}

std::uint32_t CIoStream::Seek(int, int)
{
    return 0;
}

std::uint32_t CIoStream::SetPosition(std::uint32_t)
{
    return 0;
}

void CIoStream::CheckRead(int count, bool open)
{
    if (!(m_flags & SO_READ) || !open)
        Raise(ERR_READ_FAULT);
    if (count < 0)
        Raise(ERR_INVALID_PARAMETER);
}

void CIoStream::CheckWrite(int count, bool open)
{
    if (!(m_flags & SO_WRITE) || !open)
        Raise(ERR_WRITE_FAULT);
    if (count < 0)
        Raise(ERR_INVALID_PARAMETER);
}

void CIoStream::Raise(std::uint32_t code)
{
    m_error = code;
    throw StreamError(code, m_name);
}

void CIoStream::RaiseErrno(int error)
{
    m_error = CodeFromErrno(error);
    throw StreamError(m_error, m_name, SystemErrorText(error));
}

}   // namespace StreamIO
