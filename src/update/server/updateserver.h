#pragma once
// UpdateServer: the maker's FTP update server, through libcurl. One object
// keeps one session; libcurl keeps the control connection open between the
// requests, so the listing and the download reuse the login.

#include <QList>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>

struct SServerAddress
{
    QString host;
    int port = 21;
    QString user;
    QString password;
};

struct SServerFile
{
    QString name;
    std::int64_t size = -1;   // -1: the server did not say (a folder, say)
};

// "ftp://host[:port]" (a trailing "/" allowed); false for anything else.
bool ParseServerAddress(const QString &text, SServerAddress &address);
// The host of the string resource, or the "UpdateServer" setting of the
// program's settings key when it holds a valid address; the fixed login.
SServerAddress DefaultServerAddress();
// "./QxUpgrade/<product>/".
QString UpdateDirectory(const QString &productName);

class UpdateServer
{
public:
    explicit UpdateServer(SServerAddress address);
    ~UpdateServer();
    UpdateServer(const UpdateServer &) = delete;
    UpdateServer &operator=(const UpdateServer &) = delete;

    // Logs in, asks for the current folder and changes into `directory`
    // (empty: the program's update folder). False with GetLastError set.
    bool Connect(const QString &directory);
    // True while the server still answers in the folder; else closed.
    bool IsConnected();
    void Close();
    const QString &GetLastError() const { return m_lastError; }
    // The client's own error number of the last failure (0: none).
    int GetLastCode() const { return m_lastCode; }

    // The names in the current folder, in the server's order.
    bool ListNames(QStringList &names);
    // The size of one file in the current folder, or -1.
    std::int64_t FileSize(const QString &name);
    // Reads a file of the current folder; `sink` takes each block and may
    // refuse it (false), which ends the transfer at once.
    bool ReadFile(const QString &name, const std::function<bool(const char *, std::size_t)> &sink);

    // Set from any thread: the running request ends as soon as it can.
    void SetCancelFlag(const std::atomic<bool> *cancel) { m_cancel = cancel; }
    bool IsCancelled() const { return m_cancel && m_cancel->load(); }

    const SServerAddress &Address() const { return m_address; }

private:
    struct Request;
    // One request on the session; the code of libcurl.
    int perform(const QByteArray &url, Request &request);
    bool fail(int code, const QString &text);
    QByteArray folderUrl() const;
    QString clientError(int code) const;

    SServerAddress m_address;
    void *m_curl = nullptr;   // CURL*, kept out of this header
    char m_errorBuffer[256] = {};
    bool m_connected = false;
    QString m_directory;
    QString m_lastError;
    int m_lastCode = 0;
    const std::atomic<bool> *m_cancel = nullptr;
};
