#pragma once
// The process-wide RAM disk "RAM:": named, growable in-memory files that live
// while at least one stream has them open. A file may be a FIFO: writing
// appends, reading consumes from the front, one writer thread and one reader
// thread may use it at the same time.

#include "streamio/iostream.h"

#include <QHash>
#include <QString>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace StreamIO {

class CRamFile
{
public:
    static constexpr std::uint32_t kReaderAttached = 0x10000000;
    static constexpr std::uint32_t kWriterAttached = 0x20000000;
    static constexpr std::uint32_t kGrowth = 512;

    CRamFile(QString name, std::uint32_t flags) : m_name(std::move(name)), m_flags(flags) {}

    std::uint32_t GetLength();
    std::uint32_t ReadAt(std::uint32_t &pos, void *buffer, std::uint32_t count);
    std::uint32_t WriteAt(std::uint32_t &pos, const void *data, std::uint32_t count);
    bool SeekIn(std::uint32_t &pos, int offset, int origin);
    void SetEnd(std::uint32_t pos);

    bool IsFifo() const { return m_flags.load(std::memory_order_relaxed) & SO_FIFO; }
    std::uint32_t Capacity();

private:
    friend class CRamDisk;

    bool sharedFifo() const { return IsFifo() && (m_flags & (SO_SHARE_READ | SO_SHARE_WRITE)); }
    std::uint32_t lengthLocked() const;
    void reserveLocked(std::uint64_t size);
    [[noreturn]] void raise(std::uint32_t code) const;

    const QString m_name;
    std::atomic<std::uint32_t> m_flags;   // share and FIFO bits of the creating open, attach marks
    std::uint32_t m_capacity = 0;
    struct Free
    {
        void operator()(std::uint8_t *p) const { std::free(p); }
    };
    std::unique_ptr<std::uint8_t[], Free> m_buffer;   // malloc'd: plain files grow with realloc
    std::uint32_t m_start = 0;                        // front of the data (FIFO read point), an offset into the buffer
    std::uint32_t m_end = 0;                          // end of the data (FIFO write point; may lie before m_start)
    int m_openCount = 0;                              // guarded by the disk's lock
    std::mutex m_lock;
};

class CRamDisk
{
public:
    // `name` must end with ":" and hold no other ":" (else StreamError 123).
    explicit CRamDisk(QString name);
    ~CRamDisk();

    CRamFile *OpenFile(const QString &name, std::uint32_t flags);
    void CloseFile(CRamFile *file, std::uint32_t flags);

    const QString &GetName() const { return m_name; }
    int FileCount();

private:
    const QString m_name;
    QHash<QString, CRamFile *> m_files;
    std::mutex m_lock;
};

// The disk of the stream layer (null before InitStreamLayer / after shutdown).
CRamDisk *RamDisk();
void CreateRamDisk();
void DestroyRamDisk();

}   // namespace StreamIO
