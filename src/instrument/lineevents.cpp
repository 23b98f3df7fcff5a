// Device events as text lines, from a pipe or FIFO.
#include "instrument/deviceevents.h"

#include <QByteArray>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace Instrument {
namespace {

class CLineEvents : public IDeviceEventSource
{
public:
    explicit CLineEvents(int fd) : m_fd(fd) {}
    ~CLineEvents() override { ::close(m_fd); }
    CLineEvents(const CLineEvents &) = delete;
    CLineEvents &operator=(const CLineEvents &) = delete;

    int Fd() const override { return m_fd; }

    std::vector<SDeviceEvent> Take() override
    {
        char chunk[4096];
        for (;;) {
            const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
            if (n > 0) {
                m_pending.append(chunk, n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            break;   // drained (EAGAIN), or the writer's end closed
        }
        std::vector<SDeviceEvent> events;
        qsizetype end;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            const QByteArray line = m_pending.left(end).trimmed();
            m_pending.remove(0, end + 1);
            const qsizetype space = line.indexOf(' ');
            if (space <= 0)
                continue;
            const QByteArray word = line.left(space);
            SDeviceEvent event;
            event.path = QFile::decodeName(line.mid(space + 1).trimmed());
            if (event.path.isEmpty())
                continue;
            if (word == "add")
                event.kind = SDeviceEvent::Kind::Added;
            else if (word == "remove")
                event.kind = SDeviceEvent::Kind::Removed;
            else
                continue;
            events.push_back(std::move(event));
        }
        return events;
    }

private:
    int m_fd;
    QByteArray m_pending;
};

}   // namespace

std::unique_ptr<IDeviceEventSource> OpenLineEvents(int fd)
{
    if (fd < 0)
        return nullptr;
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    return std::make_unique<CLineEvents>(fd);
}

std::unique_ptr<IDeviceEventSource> OpenDeviceEvents()
{
    const QByteArray fifo = qgetenv("VETRADESK_DEVICE_EVENTS");
    if (!fifo.isEmpty()) {
        // Read and write: the FIFO then never reads as closed between writers.
        return OpenLineEvents(::open(fifo.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    }
    return OpenUdevEvents();
}

}   // namespace Instrument
