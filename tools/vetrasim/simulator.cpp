#include "simulator.h"

#include "data/datafile.h"
#include "device/crc.h"
#include "device/framing.h"

#include <QFile>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace VetraSim {
namespace {

using Clock = std::chrono::steady_clock;

using namespace Device::Framing;
constexpr std::uint8_t kGoAhead = 0x06;   // any byte will do; the program only waits for one
constexpr std::uint8_t kUnknownCommand = 0xFE;
constexpr std::uint8_t kUnknownFunction = 0xF2;
constexpr int kByteTimeoutMs = 300;   // a frame or line that stalls this long is dropped
constexpr std::uint32_t kRecordSize = 262;
constexpr int kMaxRecords = 549;   // what fits the program's 144100-byte buffer

struct Speed
{
    std::uint32_t baud;
    speed_t code;
};
constexpr Speed kSpeeds[] = {{1200, B1200},   {2400, B2400},   {4800, B4800},     {9600, B9600},    {19200, B19200},
                             {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400}};

std::uint32_t nearestBaud(double wanted)
{
    std::uint32_t best = kSpeeds[0].baud;
    for (const Speed &s : kSpeeds)
        if (std::fabs(s.baud - wanted) < std::fabs(best - wanted))
            best = s.baud;
    return best;
}

QByteArray latin1(const QString &s)
{
    return s.toLatin1();
}

void putField(QByteArray &record, int offset, const QString &text, int width)
{
    const QByteArray bytes = latin1(text).left(width);
    std::memcpy(record.data() + offset, bytes.constData(), std::size_t(bytes.size()));
}

std::vector<std::uint8_t> garbage(std::size_t n)
{
    std::vector<std::uint8_t> g(n);
    for (std::size_t i = 0; i < n; ++i)
        g[i] = std::uint8_t(0x9B + 37 * i);
    return g;
}

QString hex(const std::uint8_t *data, std::size_t n)
{
    QString s;
    for (std::size_t i = 0; i < n; ++i)
        s += QString::asprintf(i ? " %02X" : "%02X", data[i]);
    return s;
}

}   // namespace

bool ParseFault(const QString &name, Fault &fault)
{
    static const struct
    {
        const char16_t *name;
        Fault fault;
    } kFaults[] = {
        {u"none", Fault::None},
        {u"silent", Fault::Silent},
        {u"garbage", Fault::Garbage},
        {u"bad-checksum", Fault::BadChecksum},
        {u"truncated", Fault::Truncated},
        {u"disconnect", Fault::DisconnectAfter},
        {u"wrong-family", Fault::WrongFamily},
        {u"no-objects", Fault::NoObjects},
    };
    for (const auto &f : kFaults) {
        if (name == QStringView(f.name)) {
            fault = f.fault;
            return true;
        }
    }
    return false;
}

CSimulator::CSimulator()
{
    auto fail = [this](const char *why) {
        for (int fd : {m_master, m_slave})
            if (fd >= 0)
                ::close(fd);
        throw std::runtime_error(why);
    };
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        fail("no pseudo-terminal");
    char name[256];
    if (::ptsname_r(m_master, name, sizeof name) != 0)
        fail("no pseudo-terminal name");
    m_slavePath = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0)
        fail("cannot open the pseudo-terminal");
    // Raw from the start: no echo of what the program sends.
    termios t{};
    ::tcgetattr(m_slave, &t);
    ::cfmakeraw(&t);
    ::cfsetspeed(&t, B19200);
    ::tcsetattr(m_slave, TCSANOW, &t);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0)
        fail("no pipe");
}

CSimulator::~CSimulator()
{
    Stop();
    for (int fd : {m_master, m_slave, m_listener, m_wake[0], m_wake[1]})
        if (fd >= 0)
            ::close(fd);
}

bool CSimulator::ListenTcp(const QString &address, std::uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    if (::inet_pton(AF_INET, address.toLatin1().constData(), &a.sin_addr) != 1
        || ::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || ::listen(fd, 1) != 0) {
        ::close(fd);
        return false;
    }
    if (m_master >= 0)
        ::close(m_master);   // the terminal is not used then
    m_master = -1;
    m_listener = fd;
    return true;
}

bool CSimulator::acceptClient(int timeoutMs)
{
    pollfd p[2] = {{m_listener, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
    if (::poll(p, 2, timeoutMs) <= 0 || (p[1].revents & POLLIN) || !(p[0].revents & POLLIN))
        return false;
    m_master = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (m_master >= 0)
        log(QStringLiteral("client"));
    return m_master >= 0;
}

bool CSimulator::MakeLink(const QString &linkPath)
{
    QFile::remove(linkPath);
    return QFile::link(m_slavePath, linkPath);
}

void CSimulator::SetObjects(const QList<TVetraObject> &objects)
{
    std::lock_guard guard(m_lock);
    m_objects = objects;
}

bool CSimulator::LoadObjects(const QString &csvPath)
{
    QList<TVetraObject> objects;
    if (!LoadCsvFile(csvPath, objects))
        return false;
    std::lock_guard guard(m_lock);
    m_objects.append(objects);
    return true;
}

void CSimulator::GenerateObjects(int count, std::uint32_t seed)
{
    QList<TVetraObject> objects;
    for (int i = 0; i < count; ++i) {
        TVetraObject o;
        o.version = CVersion(std::uint64_t(1) << 32);
        o.deviceName = QStringLiteral("Vetrameter+");
        o.serialNumber = m_identity.serialNumber;
        o.softwareVersion = m_identity.firmwareVersion;
        o.hardwareIndex = m_identity.hardwareRevision;
        o.signature = QStringLiteral("A7E2-0091");
        o.regional = std::uint8_t((seed + std::uint32_t(i)) % 4);
        o.storageMode = std::uint8_t(i % 2);
        o.rawDefaultBarDiameter = 16;
        o.neighborCorrection = std::uint8_t((i % 3) * 50);   // 0, 50, 100: values every unit can write
        o.objectNumber = std::uint16_t(i + 1);
        o.objectName = QStringLiteral("Object %1").arg(i + 1);
        o.timeStamp = 1793520000 + std::int64_t(i) * 1800;   // from 2026-11-02 on, every half hour
        const int m = 1 + int((seed * 7 + std::uint32_t(i) * 13) % 99);
        for (int k = 0; k < m; ++k) {
            seed = seed * 1103515245u + 12345u;
            const std::uint8_t cover = (seed >> 16) % 17 == 0 ? 255 : std::uint8_t(15 + (seed >> 16) % 60);
            o.measurements.push_back({std::uint8_t(k + 1), cover, std::uint8_t((seed >> 8) % 61)});
        }
        objects.append(std::move(o));
    }
    SetObjects(objects);
}

void CSimulator::SetFiles(const QHash<QString, QByteArray> &files)
{
    std::lock_guard guard(m_lock);
    m_files = files;
}

QHash<QString, QByteArray> CSimulator::Files() const
{
    std::lock_guard guard(m_lock);
    return m_files;
}

QList<TVetraObject> CSimulator::Objects() const
{
    std::lock_guard guard(m_lock);
    return m_objects;
}

void CSimulator::SetIdentity(const SIdentity &identity)
{
    std::lock_guard guard(m_lock);
    m_identity = identity;
}

void CSimulator::SetFault(Fault fault, int parameter)
{
    std::lock_guard guard(m_lock);
    m_fault = fault;
    m_faultParameter = parameter;
}

double CSimulator::LineSeconds() const
{
    std::lock_guard guard(m_lock);
    return m_lineSeconds;
}

QStringList CSimulator::Log() const
{
    std::lock_guard guard(m_lock);
    return m_log;
}

void CSimulator::ClearLog()
{
    std::lock_guard guard(m_lock);
    m_log.clear();
}

void CSimulator::log(const QString &entry)
{
    std::lock_guard guard(m_lock);
    m_log.append(entry);
}

void CSimulator::Start()
{
    if (m_running.exchange(true))
        return;
    char stale[16];
    while (::read(m_wake[0], stale, sizeof stale) > 0) {
        // the wake-up of an earlier Stop
    }
    m_thread = std::thread([this] { run(); });
}

void CSimulator::Stop()
{
    if (!m_running.exchange(false)) {
        if (m_thread.joinable())
            m_thread.join();
        return;
    }
    const char wake = 1;
    (void)!::write(m_wake[1], &wake, 1);
    if (m_thread.joinable())
        m_thread.join();
}

// ---------------------------------------------------------------------------
// Bytes

bool CSimulator::readByte(std::uint8_t &b, int timeoutMs)
{
    if (m_master < 0)
        return false;
    pollfd p[2] = {{m_master, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
    const int r = ::poll(p, 2, timeoutMs);
    if (r <= 0 || (p[1].revents & POLLIN) || !m_running)
        return false;
    if (p[0].revents & (POLLIN | POLLHUP)) {
        const ssize_t n = ::read(m_master, &b, 1);
        if (n == 1)
            return true;
        if (m_listener >= 0 && (n == 0 || (errno != EAGAIN && errno != EINTR))) {
            ::close(m_master);   // the client left; the next may come
            m_master = -1;
        }
    }
    return false;
}

void CSimulator::write(const std::vector<std::uint8_t> &bytes)
{
    Fault fault;
    int parameter;
    {
        std::lock_guard guard(m_lock);
        fault = m_fault;
        parameter = m_faultParameter;
    }
    std::size_t count = bytes.size();
    bool disconnect = false;
    if (fault == Fault::DisconnectAfter && m_bytesSent + count >= std::uint64_t(std::max(parameter, 0))) {
        count = std::size_t(std::max<std::int64_t>(0, std::int64_t(parameter) - std::int64_t(m_bytesSent)));
        disconnect = true;
    }
    // Paced like the line: 10 bits a byte at the instrument's baud rate.
    const double bytesPerSecond = m_baud.load() / 10.0;
    const auto start = Clock::now();
    std::size_t done = 0;
    while (done < count && m_running && m_master >= 0) {
        const std::size_t chunk = m_paced ? std::min<std::size_t>(count - done, 64) : count - done;
        if (m_paced) {
            // A byte arrives only once the line has carried it.
            const auto due = start
                             + std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::duration<double>(double(done + chunk) / bytesPerSecond));
            while (Clock::now() < due && m_running)
                std::this_thread::sleep_for(
                    std::min<Clock::duration>(due - Clock::now(), std::chrono::milliseconds(20)));
        }
        pollfd p[2] = {{m_master, POLLOUT, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(p, 2, 1000) <= 0 || (p[1].revents & POLLIN))
            continue;
        // A client that left must not end the process with SIGPIPE.
        const ssize_t n = m_listener >= 0 ? ::send(m_master, bytes.data() + done, chunk, MSG_NOSIGNAL)
                                          : ::write(m_master, bytes.data() + done, chunk);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR)
                continue;
            break;
        }
        done += std::size_t(n);
    }
    m_bytesSent += done;
    {
        std::lock_guard guard(m_lock);
        m_lineSeconds += double(done) * 10.0 / m_baud.load();
    }
    if (disconnect && m_master >= 0) {
        // The cable is pulled: the program's reads end, the terminal goes away.
        // Logged first, so that whoever sees the link end also finds the entry.
        log(QStringLiteral("disconnected"));
        ::close(m_master);
        m_master = -1;
    }
}

void CSimulator::write(const QByteArray &bytes)
{
    write(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

bool CSimulator::hostSpeedMatches() const
{
    if (m_listener >= 0)
        return true;   // no line speed on a network
    termios t{};
    if (::tcgetattr(m_slave, &t) != 0)
        return true;
    const speed_t code = cfgetospeed(&t);
    for (const Speed &s : kSpeeds)
        if (s.code == code)
            return s.baud == m_baud.load();
    return false;
}

void CSimulator::run()
{
    while (m_running && (m_master >= 0 || m_listener >= 0)) {
        if (m_master < 0) {
            acceptClient(200);
            continue;
        }
        std::uint8_t b = 0;
        if (!readByte(b, 200))
            continue;
        if (b == kDle)
            serveText();
        else if (b >= 0xC0 && b <= 0xC0 + 47)
            serveFrame(b);
        else if (b == 'S')
            serveS();
        else if (b != kCr && b != kLf)
            log(QString::asprintf("stray %02X", b));
    }
}

// ---------------------------------------------------------------------------
// Text commands

void CSimulator::sendLine(const QByteArray &text)
{
    // With CR LF lines the answer follows a word, as the instrument writes it.
    write(m_crlf ? QByteArray("A ") + text + "\r\n" : text + '\r');
}

QByteArray CSimulator::identityText() const
{
    std::lock_guard guard(m_lock);
    const QString signature = m_fault == Fault::WrongFamily ? QStringLiteral("07") + m_identity.signature.mid(2)
                                                            : m_identity.signature;
    return latin1(m_identity.typeName + u';' + m_identity.hardwareRevision + u';' + m_identity.serialNumber + u';'
                  + signature + u';' + m_identity.firmwareVersion);
}

void CSimulator::serveText()
{
    Fault fault;
    {
        std::lock_guard guard(m_lock);
        fault = m_fault;
    }
    if (fault == Fault::Silent) {
        log(QStringLiteral("text ignored"));
        return;
    }
    write(std::vector<std::uint8_t>{kGoAhead});
    QByteArray command;
    std::uint8_t b = 0;
    while (true) {
        if (!readByte(b, kByteTimeoutMs)) {
            log(QStringLiteral("text stalled"));
            return;
        }
        if (b == kCr)
            break;
        command.append(char(b));
    }
    log(QStringLiteral("text ") + QString::fromLatin1(command));
    if (command.isEmpty())
        return;   // an empty line is ignored
    if (fault == Fault::Garbage || !hostSpeedMatches()) {
        write(garbage(9));
        return;
    }
    if (command == "@ID@") {
        sendLine(m_textIdentification ? identityText() : QByteArray("?"));
    } else if (command == "ID") {
        SIdentity id;
        {
            std::lock_guard guard(m_lock);
            id = m_identity;
        }
        sendLine(latin1(id.typeName + u';' + id.firmwareVersion + u';' + id.serialNumber));
    } else if (command == "BR ?") {
        sendLine(QByteArray::number(std::lround(4000000.0 / m_baud.load())));
    } else if (command.startsWith("BR ")) {
        bool ok = false;
        const int code = command.mid(3).trimmed().toInt(&ok);
        if (!ok || code <= 0) {
            sendLine("?");
            return;
        }
        sendLine("OK");
        m_baud = nearestBaud(4000000.0 / code);   // the answer still went out at the old rate
    } else if (serveFileCommand(command)) {
        // answered there
    } else if (command == "EC?") {
        sendLine(m_crlf ? QByteArray("EC1 CR LF") : QByteArray("EC0"));
    } else if (command == "EC0" || command == "EC1") {
        sendLine("OK");
        m_crlf = command == "EC1";
    } else {
        sendLine("?");
    }
}

// ---------------------------------------------------------------------------
// File commands: names in double quotes, backslashes doubled

namespace {

// The quoted names of a command, unescaped.
QStringList quotedNames(const QByteArray &command)
{
    QStringList names;
    qsizetype i = command.indexOf('"');
    while (i >= 0) {
        QByteArray name;
        qsizetype j = i + 1;
        for (; j < command.size() && command[j] != '"'; ++j) {
            if (command[j] == '\\' && j + 1 < command.size())
                ++j;
            name.append(command[j]);
        }
        names.append(QString::fromLatin1(name));
        i = j < command.size() ? command.indexOf('"', j + 1) : -1;
    }
    return names;
}

QByteArray littleEndian(std::uint32_t v)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char(v >> (8 * i));
    return bytes;
}

}   // namespace

bool CSimulator::readExactly(QByteArray &out, qsizetype n)
{
    out.clear();
    std::uint8_t b = 0;
    while (out.size() < n) {
        if (!readByte(b, 2000))
            return false;
        out.append(char(b));
    }
    return true;
}

bool CSimulator::serveFileCommand(const QByteArray &command)
{
    const QStringList names = quotedNames(command);
    std::unique_lock guard(m_lock);
    if (command.startsWith("DIRS ")) {
        QByteArray listing;
        QStringList sorted = m_files.keys();
        sorted.sort();
        for (const QString &name : sorted)
            listing += latin1(name) + ',' + QByteArray::number(m_files.value(name).size()) + ';';
        guard.unlock();
        sendLine(QByteArray::number(listing.size(), 16).toUpper().rightJustified(8, '0') + ';' + listing);
        return true;
    }
    if (command.startsWith("LOAD ") && names.size() == 1) {
        const QByteArray data = m_files.value(names[0]);
        guard.unlock();
        write(littleEndian(std::uint32_t(data.size())) + data);
        return true;
    }
    if (command.startsWith("SAVE ") && names.size() == 1) {
        guard.unlock();
        sendLine("OK");
        QByteArray length, data;
        if (!readExactly(length, 4))
            return true;
        const std::uint32_t n = std::uint8_t(length[0]) | std::uint8_t(length[1]) << 8 | std::uint8_t(length[2]) << 16
                                | std::uint32_t(std::uint8_t(length[3])) << 24;
        if (n > 0x500000 || !readExactly(data, qsizetype(n)))
            return true;
        {
            std::lock_guard again(m_lock);
            m_files.insert(names[0], data);
        }
        write(QByteArray("y\r"));
        return true;
    }
    if (command.startsWith("MOVF ") && names.size() == 2) {
        const bool known = m_files.contains(names[0]);
        if (known)
            m_files.insert(names[1], m_files.take(names[0]));
        guard.unlock();
        sendLine(known ? QByteArray("OK") : QByteArray("?"));
        return true;
    }
    if (command.startsWith("DELF ") && names.size() == 1) {
        const bool known = m_files.remove(names[0]) > 0;
        guard.unlock();
        sendLine(known ? QByteArray("OK") : QByteArray("?"));
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Binary frames

QByteArray CSimulator::binaryObjects() const
{
    const QList<TVetraObject> objects = Objects();
    const int n = std::min<int>(int(objects.size()), kMaxRecords);
    QByteArray data(5 + qsizetype(kRecordSize) * n, '\0');
    data[0] = 1;
    data[1] = char(n & 0xFF);
    data[2] = char(n >> 8);
    data[3] = char(kRecordSize & 0xFF);
    data[4] = char(kRecordSize >> 8);
    for (int i = 0; i < n; ++i) {
        const TVetraObject &o = objects[i];
        QByteArray r(kRecordSize, '\0');
        r[0] = char((o.version.value() >> 32) & 0xFF);
        r[1] = char(o.version.value() & 0xFF);
        putField(r, 2, o.deviceName, 16);
        putField(r, 18, o.serialNumber, 16);
        putField(r, 34, o.softwareVersion, 9);
        putField(r, 43, o.hardwareIndex, 5);
        putField(r, 48, o.signature, 9);
        r[57] = char(o.regional);
        r[58] = o.storageMode == 1 ? 'A' : o.storageMode == 0 ? 'M' : '?';
        r[59] = char(o.rawDefaultBarDiameter);
        r[60] = char(o.neighborCorrection);
        r[61] = char(o.objectNumber & 0xFF);
        r[62] = char(o.objectNumber >> 8);
        const int m = std::min<int>(int(o.measurements.size()), 99);
        r[63] = char(m);
        for (int k = 0; k < m; ++k) {
            r[64 + k] = char(o.measurements[std::size_t(k)].cover);
            r[163 + k] = char(o.measurements[std::size_t(k)].rawDiameter);
        }
        std::memcpy(data.data() + 5 + qsizetype(kRecordSize) * i, r.constData(), kRecordSize);
    }
    return data;
}

QByteArray CSimulator::textObjects() const
{
    const QList<TVetraObject> objects = Objects();
    QString text = QStringLiteral("1;%1;").arg(objects.size());
    for (const TVetraObject &o : objects)
        text += FormatDataFile(o) + QStringLiteral("<eof>");
    return EncodeDataFileText(text);
}

void CSimulator::sendLong(const QByteArray &data)
{
    Fault fault;
    {
        std::lock_guard guard(m_lock);
        fault = m_fault;
    }
    const std::uint8_t kind = m_checksumKind;
    const auto length = std::uint32_t(data.size());
    std::vector<std::uint8_t> out{0xEF, kind, std::uint8_t(length), std::uint8_t(length >> 8),
                                  std::uint8_t(length >> 16)};
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(data.constData());
    if (fault == Fault::Truncated) {
        out.insert(out.end(), bytes, bytes + length / 2);
        write(out);
        return;
    }
    out.insert(out.end(), bytes, bytes + length);
    std::uint32_t sum = 0;
    int sumBytes = 0;
    switch (kind) {
    case 1:
        sum = Device::Crc8(bytes, length);
        sumBytes = 1;
        break;
    case 2:
        sum = Device::Crc16(bytes, length);
        sumBytes = 2;
        break;
    case 4:
        sum = Device::Crc32(bytes, length);
        sumBytes = 4;
        break;
    default: break;
    }
    if (fault == Fault::BadChecksum)
        sum ^= 0x5A5A5A5A;
    for (int i = 0; i < sumBytes; ++i)
        out.push_back(std::uint8_t(sum >> (8 * i)));
    write(out);
}

void CSimulator::serveFrame(std::uint8_t first)
{
    const int n = first - 0xC0;
    std::uint8_t frame[48] = {};
    for (int i = 0; i < n + 1; ++i) {
        if (!readByte(frame[i], kByteTimeoutMs)) {
            log(QStringLiteral("frame stalled"));
            return;
        }
    }
    const std::uint8_t command = frame[0];
    const std::uint8_t *payload = frame + 1;
    log(QStringLiteral("frame ") + hex(frame, std::size_t(n + 1)));
    Fault fault;
    {
        std::lock_guard guard(m_lock);
        fault = m_fault;
    }
    if (fault == Fault::Silent)
        return;
    if (fault == Fault::Garbage || !hostSpeedMatches()) {
        write(garbage(7));
        return;
    }
    switch (command) {
    case 0xF7:
        if (n == 8 && std::memcmp(payload, kResyncPayload, 8) == 0) {
            log(QStringLiteral("resync"));
            write(std::vector<std::uint8_t>{0xF0});
        } else {
            write(std::vector<std::uint8_t>{kUnknownFunction});
        }
        return;
    case 0xF1: {
        bool ok = false;
        const std::uint32_t value = std::uint32_t(identityText().split(';').value(3).toULong(&ok, 16));
        write(std::vector<std::uint8_t>{0x04, std::uint8_t(value), std::uint8_t(value >> 8), std::uint8_t(value >> 16),
                                        std::uint8_t(value >> 24)});
        return;
    }
    case 0xF4: write(std::vector<std::uint8_t>{0x01, 0x00}); return;
    case 0xD2: {
        const std::uint8_t function = n > 0 ? payload[0] : 0;
        const bool download = function == 0x10 || function == 0x12;
        if (download) {
            const bool none = Objects().isEmpty();
            if (fault == Fault::NoObjects || (none && m_emptyStatus))
                write(std::vector<std::uint8_t>{kNoObjects});
            else
                sendLong(function == 0x12 ? binaryObjects() : textObjects());
        } else if (function == 0x11) {
            SetObjects({});
            write(std::vector<std::uint8_t>{0x00});
        } else if (function == 0x01) {
            write(std::vector<std::uint8_t>{0x00});   // ready for an upgrade
        } else {
            write(std::vector<std::uint8_t>{kUnknownFunction});
        }
        return;
    }
    default: write(std::vector<std::uint8_t>{kUnknownCommand});
    }
}

// ---------------------------------------------------------------------------
// S-commands: "S", a letter, hex bytes (count, payload, checksum), CR LF

void CSimulator::serveS()
{
    QByteArray text("S");
    std::uint8_t b = 0;
    while (true) {
        if (!readByte(b, kByteTimeoutMs)) {
            log(QStringLiteral("S stalled"));
            return;
        }
        if (b == kLf)
            break;
        if (b != kCr)
            text.append(char(b));
    }
    log(QStringLiteral("S ") + QString::fromLatin1(text));
    Fault fault;
    {
        std::lock_guard guard(m_lock);
        fault = m_fault;
    }
    if (fault == Fault::Silent || text.size() < 4 || (text.size() - 2) % 2 != 0)
        return;
    const QByteArray digits = text.mid(2);
    std::vector<std::uint8_t> bytes;
    unsigned sum = 0;
    for (qsizetype i = 0; i < digits.size(); i += 2) {
        bool ok = false;
        const unsigned v = digits.mid(i, 2).toUInt(&ok, 16);
        if (!ok)
            return;
        bytes.push_back(std::uint8_t(v));
        sum += v;
    }
    if (bytes.size() < 2 || bytes[0] != bytes.size() - 1 || (sum & 0xFF) != 0xFF)
        return;   // a bad count or checksum is not a command
    if (fault == Fault::Garbage) {
        write(garbage(3));
        return;
    }
    switch (text[1]) {
    case 'C':
        if (bytes.size() >= 4 && bytes[1] != 0) {
            m_mode = bytes[2] == 0x02 ? bytes[1] : 0;
            write(std::vector<std::uint8_t>{'G'});
        }
        return;
    case 'I':
        if (m_mode == 2)
            write(identityText());
        return;
    case 'E': write(std::vector<std::uint8_t>{'E'}); return;
    case 'X': write(std::vector<std::uint8_t>{'X'}); return;
    default:
        // An S-record of the firmware: accepted in mode 1 only.
        if (text[1] >= '0' && text[1] <= '9' && m_mode == 1)
            write(std::vector<std::uint8_t>{'P'});
        return;
    }
}

}   // namespace VetraSim
