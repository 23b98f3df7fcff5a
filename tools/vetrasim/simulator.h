#pragma once
// A simulated Vetrameter on a pseudo-terminal. It serves the instrument side
// of the three framings (DLE text commands, binary frames, S-commands), holds
// measurement objects, switches its baud rate on "BR nnn", paces its output
// to that rate (10 bits per byte) unless told not to, and injects named
// faults. Like the real instrument it answers nothing sensible when the host
// talks at another baud rate than its own.

#include "data/measurement.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace VetraSim {

enum class Fault {
    None,
    Silent,            // answers nothing at all
    Garbage,           // answers with bytes that mean nothing
    BadChecksum,       // long replies carry a wrong checksum
    Truncated,         // long replies stop half-way
    DisconnectAfter,   // the link drops after N bytes sent (the cable is pulled)
    WrongFamily,       // the signature names another instrument family
    NoObjects,         // downloads are answered with status 0xF3
};

// "silent", "garbage", "bad-checksum", "truncated", "disconnect", "wrong-family", "no-objects".
bool ParseFault(const QString &name, Fault &fault);

struct SIdentity
{
    QString typeName = QStringLiteral("Vetrameter");
    QString hardwareRevision = QStringLiteral("C");
    QString serialNumber = QStringLiteral("VM-20931");
    QString signature = QStringLiteral("06A3F1B2");
    QString firmwareVersion = QStringLiteral("2.11");
};

class CSimulator
{
public:
    CSimulator();    // opens the pseudo-terminal; throws std::runtime_error when it cannot
    ~CSimulator();   // stops the thread and closes the terminal
    CSimulator(const CSimulator &) = delete;
    CSimulator &operator=(const CSimulator &) = delete;

    // The device path the program opens (the terminal's slave side).
    QString SlavePath() const { return m_slavePath; }
    // A symbolic link to the slave path (replaced if it exists).
    bool MakeLink(const QString &linkPath);

    // Configuration; may be changed while running.
    void SetObjects(const QList<TVetraObject> &objects);
    bool LoadObjects(const QString &csvPath);
    void GenerateObjects(int count, std::uint32_t seed = 1);
    QList<TVetraObject> Objects() const;
    void SetIdentity(const SIdentity &identity);
    // The instrument's file system for the file commands (names as the
    // instrument knows them, single backslashes).
    void SetFiles(const QHash<QString, QByteArray> &files);
    QHash<QString, QByteArray> Files() const;
    void SetFault(Fault fault, int parameter = 0);
    void SetPacing(bool paced) { m_paced = paced; }
    void SetChecksumKind(std::uint8_t kind) { m_checksumKind = kind; }
    // An older instrument: no text identification, only the S-command one.
    void SetTextIdentification(bool enabled) { m_textIdentification = enabled; }
    // Whether a download of no objects answers 0xF3 (true) or an empty list.
    void SetEmptyAnswersStatus(bool status) { m_emptyStatus = status; }

    // Serves over TCP instead of the pseudo-terminal: one client at a time on
    // address:port (an instrument on the network answers on port 3728).
    bool ListenTcp(const QString &address, std::uint16_t port);

    void Start();
    void Stop();

    std::uint32_t Baud() const { return m_baud.load(); }
    // The time the bytes sent so far take on the line at the rate each was
    // sent with (10 bits a byte).
    double LineSeconds() const;
    // What the instrument received, one entry per command ("text @ID@",
    // "frame D2 12", "S SC030202F8", "resync"), for tests and the log.
    QStringList Log() const;
    void ClearLog();

private:
    void run();
    bool readByte(std::uint8_t &b, int timeoutMs);
    void write(const std::vector<std::uint8_t> &bytes);
    void write(const QByteArray &bytes);
    void log(const QString &entry);
    bool hostSpeedMatches() const;

    void serveText();
    void serveFrame(std::uint8_t first);
    void serveS();
    bool serveFileCommand(const QByteArray &command);
    bool readExactly(QByteArray &out, qsizetype n);
    void sendLine(const QByteArray &text);
    void sendLong(const QByteArray &data);
    QByteArray identityText() const;
    QByteArray binaryObjects() const;
    QByteArray textObjects() const;

    bool acceptClient(int timeoutMs);

    int m_master = -1;     // the link: the terminal's master side, or the TCP client
    int m_slave = -1;      // kept open so the terminal survives the program closing the port
    int m_listener = -1;   // TCP mode
    int m_wake[2] = {-1, -1};
    QString m_slavePath;
    std::thread m_thread;
    std::atomic<bool> m_running{false};

    mutable std::mutex m_lock;   // guards the fields below
    QList<TVetraObject> m_objects;
    QHash<QString, QByteArray> m_files;
    SIdentity m_identity;
    Fault m_fault = Fault::None;
    int m_faultParameter = 0;
    QStringList m_log;

    std::atomic<bool> m_paced{true};
    std::atomic<std::uint8_t> m_checksumKind{2};
    std::atomic<bool> m_textIdentification{true};
    std::atomic<bool> m_emptyStatus{true};
    std::atomic<std::uint32_t> m_baud{19200};
    std::uint64_t m_bytesSent = 0;   // the serving thread's own
    double m_lineSeconds = 0;        // guarded by m_lock
    bool m_crlf = false;
    int m_mode = 0;
};

}   // namespace VetraSim
