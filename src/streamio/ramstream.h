#pragma once
// CRamStream: a stream on a file of the RAM disk ("RAM:name").

#include "streamio/iostream.h"

namespace StreamIO {

class CRamFile;

class CRamStream : public CIoStream
{
public:
    CRamStream() = default;
    ~CRamStream() override;

    // A name without the "RAM:" prefix gets it.
    virtual bool Open(const QString &name, std::uint32_t flags);

    bool Reopen() override { return ReopenByName(*this); }
    void Close() override;
    void ClearInput() override;
    bool IsOpen() override { return m_file != nullptr; }
    int Read(void *buffer, int count) override;
    int Write(const void *buffer, int count) override;
    bool IsRandomAccess() override;
    std::uint32_t GetLength() override;
    std::uint32_t GetPosition() override { return m_position; }
    std::uint32_t Seek(int offset, int origin) override;
    std::uint32_t SetPosition(std::uint32_t pos) override { return m_position = pos; }
    void Truncate() override;

    // The allocated size of the file (for tests and benchmarks).
    std::uint32_t GetCapacity();

private:
    CRamFile &file();
    // Runs a file operation; its StreamError is recorded under this stream's name.
    template <class F>
    auto guarded(F &&operation) -> decltype(operation());

    CRamFile *m_file = nullptr;
    std::uint32_t m_position = 0;
};

}   // namespace StreamIO
