#include "update/server/updateserver.h"

#include "app/appsettings.h"
#include "app/language.h"
#include "app/settingsstore.h"
#include "app/versioninfo.h"
#include "res/resources.h"

#include <QUrl>

#include <curl/curl.h>

#include <mutex>

namespace {

constexpr long kConnectTimeoutS = 15;
constexpr long kResponseTimeoutS = 15;
constexpr long kStallSeconds = 30;   // below one byte a second this long: the transfer fails
constexpr char kUser[] = "mvlobe";
constexpr char kPassword[] = "kobrawUXJ";

void initCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Each part of a path percent-encoded, the separators kept.
QByteArray encodedPath(const QString &path)
{
    QByteArray out;
    const QStringList parts = path.split(u'/');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out += '/';
        out += QUrl::toPercentEncoding(parts[i]);
    }
    return out;
}

}   // namespace

struct UpdateServer::Request
{
    bool nobody = false;
    bool namesOnly = false;
    bool wholeFile = false;
    QList<QByteArray> quote;
    QByteArray *collect = nullptr;
    const std::function<bool(const char *, std::size_t)> *sink = nullptr;
    const UpdateServer *server = nullptr;

    static size_t write(char *data, size_t size, size_t count, void *user)
    {
        auto *r = static_cast<Request *>(user);
        const size_t n = size * count;
        if (r->server->IsCancelled())
            return 0;   // ends the transfer at once (a write error)
        if (r->collect)
            r->collect->append(data, qsizetype(n));
        if (r->sink && !(*r->sink)(data, n))
            return 0;
        return n;
    }
    static int progress(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        // Also called while nothing arrives, so Cancel ends a wait for the server.
        return static_cast<Request *>(user)->server->IsCancelled() ? 1 : 0;
    }
};

bool ParseServerAddress(const QString &text, SServerAddress &address)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != u"ftp" || url.host().isEmpty() || !url.userInfo().isEmpty()
        || (url.path() != QString() && url.path() != u"/") || url.hasQuery() || url.hasFragment())
        return false;
    const int port = url.port(21);
    if (port < 1 || port > 65535)
        return false;
    address.host = url.host();
    address.port = port;
    return true;
}

SServerAddress DefaultServerAddress()
{
    SServerAddress address;
    address.host = Res::LoadString(Res::IDS_UPDATE_HOST);
    address.user = QString::fromLatin1(kUser);
    address.password = QString::fromLatin1(kPassword);
    if (const CSettingsStore *store = Settings::Store()) {
        const std::optional<QString> chosen = store->ReadString(Settings::SettingsKey(),
                                                                QStringLiteral("UpdateServer"));
        if (chosen && !chosen->isEmpty())
            ParseServerAddress(*chosen, address);   // an address that does not read leaves the default
    }
    return address;
}

QString UpdateDirectory(const QString &productName)
{
    return QStringLiteral("./QxUpgrade/") + productName + u'/';
}

UpdateServer::UpdateServer(SServerAddress address) : m_address(std::move(address))
{
    initCurl();
}

UpdateServer::~UpdateServer()
{
    Close();
}

QByteArray UpdateServer::folderUrl() const
{
    QString path = m_directory;
    if (path.startsWith(u"./"))
        path.remove(0, 2);
    while (path.startsWith(u'/'))
        path.remove(0, 1);
    if (!path.isEmpty() && !path.endsWith(u'/'))
        path += u'/';
    const QString host = m_address.host.contains(u':') ? u'[' + m_address.host + u']' : m_address.host;
    return "ftp://" + host.toUtf8() + ':' + QByteArray::number(m_address.port) + '/' + encodedPath(path);
}

QString UpdateServer::clientError(int code) const
{
    QString detail = QString::fromLocal8Bit(m_errorBuffer).trimmed();
    if (detail.isEmpty())
        detail = QString::fromLatin1(curl_easy_strerror(CURLcode(code)));
    // libcurl's texts end without a stop, and some begin in lower case; the
    // code's sentence follows them.
    if (detail.isEmpty())
        return detail;
    detail[0] = detail[0].toUpper();
    if (!detail.endsWith(u'.') && !detail.endsWith(u'!') && !detail.endsWith(u'?'))
        detail += u'.';
    return detail;
}

bool UpdateServer::fail(int code, const QString &text)
{
    m_lastCode = code;
    m_lastError = text;
    return false;
}

int UpdateServer::perform(const QByteArray &url, Request &r)
{
    CURL *curl = static_cast<CURL *>(m_curl);
    curl_easy_reset(curl);   // options only: the open connection stays
    r.server = this;
    const QByteArray user = m_address.user.toUtf8();
    const QByteArray password = m_address.password.toUtf8();
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    // Never part of the address, so no message or trace shows them.
    curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, m_errorBuffer);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutS);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, kResponseTimeoutS);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Request::write);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &r);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Request::progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &r);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    if (r.nobody)
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    if (r.namesOnly)
        curl_easy_setopt(curl, CURLOPT_DIRLISTONLY, 1L);
    // libcurl would stop at the size the server gives; a file longer than
    // listed must show as such, not arrive cut to the listed length.
    if (r.wholeFile)
        curl_easy_setopt(curl, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    curl_slist *quote = nullptr;
    for (const QByteArray &command : r.quote)
        quote = curl_slist_append(quote, command.constData());
    if (quote)
        curl_easy_setopt(curl, CURLOPT_QUOTE, quote);
    m_errorBuffer[0] = 0;
    const CURLcode code = curl_easy_perform(curl);
    curl_slist_free_all(quote);
    return int(code);
}

bool UpdateServer::Connect(const QString &directory)
{
    m_connected = false;
    if (!m_curl)
        m_curl = curl_easy_init();
    if (!m_curl)
        return fail(0, Res::LoadString(Res::IDS_UPDATE_NO_SESSION));
    m_lastError.clear();
    m_lastCode = 0;
    m_directory = directory.isEmpty() ? UpdateDirectory(ProgramVersionInfo().GetProductName()) : directory;

    const QByteArray root = folderUrl().left(folderUrl().indexOf('/', 6) + 1);
    Request login;
    login.nobody = true;
    login.quote = {QByteArrayLiteral("PWD")};
    int code = perform(root, login);
    if (code == CURLE_QUOTE_ERROR) {
        Close();
        return fail(code, Res::LoadString(Res::IDS_UPDATE_NO_CURRENT_FOLDER));
    }
    if (code != CURLE_OK) {
        const QString text = clientError(code) + u' ' + Res::FormatString(Res::IDS_UPDATE_CONNECTION_ERROR, {code});
        Close();
        return fail(code, text);
    }
    Request enter;
    enter.nobody = true;
    code = perform(folderUrl(), enter);
    if (code != CURLE_OK) {
        const QString text = code == CURLE_REMOTE_ACCESS_DENIED || code == CURLE_REMOTE_FILE_NOT_FOUND
                                 ? Res::FormatString(Res::IDS_UPDATE_FOLDER_CANNOT_OPEN, {m_directory})
                                 : clientError(code) + u' '
                                       + Res::FormatString(Res::IDS_UPDATE_CONNECTION_ERROR, {code});
        Close();
        return fail(code, text);
    }
    m_connected = true;
    return true;
}

bool UpdateServer::IsConnected()
{
    if (!m_connected || !m_curl)
        return false;
    Request check;
    check.nobody = true;
    if (perform(folderUrl(), check) == CURLE_OK)
        return true;
    Close();
    return false;
}

void UpdateServer::Close()
{
    if (m_curl)
        curl_easy_cleanup(static_cast<CURL *>(m_curl));
    m_curl = nullptr;
    m_connected = false;
}

bool UpdateServer::ListNames(QStringList &names)
{
    names.clear();
    if (!m_connected || !m_curl)
        return fail(0, Res::LoadString(Res::IDS_UPDATE_NO_CURRENT_FOLDER));
    QByteArray listing;
    Request list;
    list.namesOnly = true;
    list.collect = &listing;
    const int code = perform(folderUrl(), list);
    if (code != CURLE_OK)
        return fail(code, clientError(code));
    for (QByteArray line : listing.split('\n')) {
        line = line.trimmed();   // some servers end lines in CR LF, some in LF
        if (!line.isEmpty() && line != "." && line != "..")
            names << QString::fromUtf8(line);
    }
    return true;
}

std::int64_t UpdateServer::FileSize(const QString &name)
{
    if (!m_connected || !m_curl)
        return -1;
    Request size;
    size.nobody = true;
    if (perform(folderUrl() + QUrl::toPercentEncoding(name), size) != CURLE_OK)
        return -1;
    curl_off_t length = -1;
    if (curl_easy_getinfo(static_cast<CURL *>(m_curl), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK)
        return -1;
    return std::int64_t(length);
}

bool UpdateServer::ReadFile(const QString &name, const std::function<bool(const char *, std::size_t)> &sink)
{
    if (!m_connected || !m_curl)
        return fail(0, Res::LoadString(Res::IDS_UPDATE_NO_CURRENT_FOLDER));
    Request read;
    read.sink = &sink;
    read.wholeFile = true;
    const int code = perform(folderUrl() + QUrl::toPercentEncoding(name), read);
    if (code != CURLE_OK)
        return fail(code, clientError(code));
    return true;
}
