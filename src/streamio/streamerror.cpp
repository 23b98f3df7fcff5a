#include "streamio/streamerror.h"

#include "res/resources.h"

namespace StreamIO {
namespace {

struct CodeText
{
    std::uint32_t code;
    Res::StrId text;
};
constexpr CodeText kCodeTexts[] = {
    {ERR_FILE_NOT_FOUND, Res::IDS_STREAM_FILE_NOT_FOUND},
    {ERR_PATH_NOT_FOUND, Res::IDS_STREAM_PATH_NOT_FOUND},
    {ERR_ACCESS_DENIED, Res::IDS_STREAM_ACCESS_DENIED},
    {ERR_INVALID_HANDLE, Res::IDS_STREAM_INVALID_HANDLE},
    {ERR_INVALID_DATA, Res::IDS_STREAM_READ_FAULT},   // what was read makes no sense: it could not be read
    {ERR_OUTOFMEMORY, Res::IDS_STREAM_OUT_OF_MEMORY},
    {ERR_WRITE_FAULT, Res::IDS_STREAM_WRITE_FAULT},
    {ERR_READ_FAULT, Res::IDS_STREAM_READ_FAULT},
    {ERR_SHARING_VIOLATION, Res::IDS_STREAM_SHARING_VIOLATION},
    {ERR_HANDLE_EOF, Res::IDS_STREAM_END_OF_DATA},
    {ERR_NOT_SUPPORTED, Res::IDS_STREAM_NOT_SUPPORTED},
    {ERR_FILE_EXISTS, Res::IDS_STREAM_FILE_EXISTS},
    {ERR_DISK_FULL, Res::IDS_STREAM_DISK_FULL},
    {ERR_INSUFFICIENT_BUFFER, Res::IDS_STREAM_TOO_LONG},
    {ERR_INVALID_NAME, Res::IDS_STREAM_INVALID_NAME},
    {ERR_TIMEOUT, Res::IDS_STREAM_TIMEOUT},
};

}   // namespace

StreamError::StreamError(std::uint32_t code, QString streamName, QString systemText)
    : m_code(code), m_name(std::move(streamName)), m_systemText(std::move(systemText))
{
    m_what = "stream error " + std::to_string(code);
    if (!m_name.isEmpty())
        m_what += " on " + m_name.toStdString();
}

QString StreamCodeText(std::uint32_t code)
{
    for (const CodeText &c : kCodeTexts)
        if (c.code == code)
            return Res::LoadString(c.text);
    return Res::FormatString(Res::IDS_STREAM_ERROR_CODE, {code});
}

QString StreamError::message() const
{
    const QString reason = m_systemText.isEmpty() ? StreamCodeText(m_code) : m_systemText;
    if (m_name.isEmpty())
        return reason;
    return Res::FormatString(Res::IDS_STREAM_ERROR_ON, {m_name, reason});
}

}   // namespace StreamIO
