// The file commands of CQxCommands: DIRS, LOAD, SAVE, MOVF, DELF, RLGI, RLGO.
#include "device/qxcommands.h"

#include "device/framing.h"
#include "streamio/iostream.h"

#include <QStringList>
#include <QtEndian>

#include <memory>

using StreamIO::CIoStream;
using StreamIO::StreamError;

namespace Device {
namespace {

constexpr int kDirsAnswerSize = 1000000;
constexpr int kTransferChunk = 64 * 1024;

QByteArray quoted(const QByteArray &name)
{
    return '"' + name + '"';
}

}   // namespace

QByteArray CQxCommands::DeviceName(const QString &name, bool escapeQuotes)
{
    QByteArray out = name.toLatin1();
    out.replace("\\", "\\\\");
    if (escapeQuotes)
        out.replace("\"", "\\\"");
    return out;
}

bool CQxCommands::ListDirectory(std::uint16_t directory, QString &listing)
{
    if (!m_stream)
        return false;
    int oldRead = -1, oldWrite = -1;
    const bool restore = m_stream->GetTimeouts(oldRead, oldWrite);
    std::unique_ptr<char[]> answer(new char[kDirsAnswerSize]);
    const QByteArray command = QByteArray("DIRS ") + QByteArray::number(directory, 16).toUpper().rightJustified(4, '0');
    const int length = QueryText(command.constData(), answer.get(), kDirsAnswerSize, 120000);
    try {
        if (restore)
            setTimeouts(oldRead, oldWrite);
    } catch (const StreamError &) {
    }
    if (length < 1 || length >= kDirsAnswerSize)
        return false;
    const QByteArray text(answer.get(), length);
    if (text.size() < 9 || text[8] != ';')
        return false;
    bool ok = false;
    const qsizetype announced = qsizetype(text.left(8).toUInt(&ok, 16));
    QByteArray body = text.mid(9);
    if (!ok || announced != body.size())
        return false;
    if (body.endsWith(';'))
        body.chop(1);
    listing = QString::fromLatin1(body);
    return true;
}

bool CQxCommands::sendLength(std::uint32_t length)
{
    std::uint8_t bytes[4];
    qToLittleEndian(length, bytes);
    return send(bytes, 4, false) == 4;
}

bool CQxCommands::storedAnswer()
{
    std::uint8_t reply[2] = {};
    return receive(reply, 2) == 2 && (reply[0] == 'y' || reply[0] == 'Y');
}

bool CQxCommands::LoadFile(CIoStream &destination, const QString &name)
{
    if (!m_stream || !destination.IsOpen() || name.isEmpty())
        return false;
    try {
        SetLineEndMode(false, false);
        m_stream->ClearInput();
        const std::uint8_t dle = Framing::kDle;
        send(&dle, 1);
        std::uint8_t goAhead = 0;
        if (!receiveByte(goAhead))
            return false;
        const QByteArray command = "LOAD " + quoted(DeviceName(name)) + '\r';
        send(command.constData(), int(command.size()));
        std::uint8_t bytes[4];
        if (receive(bytes, 4) != 4)
            return false;
        const std::uint32_t length = qFromLittleEndian<std::uint32_t>(bytes);
        if (length < 1 || length > kMaxLoadLength)
            return false;
        SetTransferTimeouts(length, 2);
        std::unique_ptr<char[]> chunk(new char[kTransferChunk]);
        std::uint32_t done = 0;
        while (done < length) {
            const int want = int(std::min<std::uint32_t>(length - done, kTransferChunk));
            const int got = receive(chunk.get(), want);
            if (got <= 0 || destination.Write(chunk.get(), got) != got)
                return false;
            done += std::uint32_t(got);
        }
        return true;
    } catch (...) {
        return false;
    }
}

bool CQxCommands::SaveFileFrom(const QString &name, CIoStream &source)
{
    if (!m_stream || !source.IsOpen() || name.isEmpty())
        return false;
    try {
        SetLineEndMode(false, false);
        if (!SendText(("SAVE " + quoted(DeviceName(name))).constData(), 6000))
            return false;
        const std::uint32_t length = source.GetLength();
        if (length < 1 || length > kMaxSaveLength)
            return false;
        QByteArray data(qsizetype(length), Qt::Uninitialized);
        source.SetPosition(0);
        if (source.Read(data.data(), int(length)) != int(length))
            return false;
        SetTransferTimeouts(length, 2);
        const bool ok = sendLength(length) && send(data.constData(), int(length), false) == int(length)
                        && storedAnswer();
        setTimeouts(2000, 2000);
        return ok;
    } catch (...) {
        return false;
    }
}

bool CQxCommands::SaveEmptyFile(const QString &name)
{
    if (!m_stream || name.isEmpty())
        return false;
    try {
        if (!SendText(("SAVE " + quoted(DeviceName(name))).constData(), 6000))
            return false;
        setTimeouts(6000, 6000);
        const bool ok = sendLength(0) && storedAnswer();
        setTimeouts(2000, 2000);
        return ok;
    } catch (...) {
        return false;
    }
}

bool CQxCommands::MoveDeviceFile(const QString &from, const QString &to)
{
    if (!m_stream || from.isEmpty() || to.isEmpty() || from.size() > kMaxMoveName || to.size() > kMaxMoveName)
        return false;
    return SendText(("MOVF " + quoted(DeviceName(from)) + ';' + quoted(DeviceName(to))).constData(), 10000);
}

bool CQxCommands::DeleteDeviceFile(const QString &name)
{
    if (!m_stream || name.isEmpty())
        return false;
    SetLineEndMode(false, false);
    return SendText(("DELF " + quoted(DeviceName(name))).constData(), 6000);
}

bool CQxCommands::RemoteLogin(const QString &user, const QString &password, std::uint32_t value, QString &answerUser,
                              std::int32_t &rights)
{
    if (!m_stream)
        return false;
    const QByteArray base = "RLGI " + quoted(DeviceName(user, true)) + "; " + quoted(DeviceName(password, true));
    const QByteArray withValue = base + "; " + QByteArray::number(value, 16).toUpper().rightJustified(8, '0');
    if (!SendText(withValue.constData(), 2000) && !SendText(base.constData(), 2000))
        return false;
    const QString answer = QString::fromLatin1(m_replyText);
    const QStringList fields = answer.split(u';');
    answerUser = answer.startsWith(u';') ? QString() : fields.value(0);
    rights = fields.value(1).trimmed().toInt();
    return true;
}

bool CQxCommands::RemoteLogout()
{
    return m_stream && SendText("RLGO", 2000);
}

}   // namespace Device
