#include "device/failure.h"

#include "res/resources.h"

namespace Device {

QString FailureText(const SFailure &f)
{
    switch (f.cause) {
    case NFailureCause::None: return {};
    case NFailureCause::NotConnected: return Res::LoadString(Res::IDS_FAILURE_NOT_CONNECTED);
    case NFailureCause::NoAnswer: return Res::LoadString(Res::IDS_FAILURE_NO_ANSWER);
    case NFailureCause::Incomplete:
        return Res::FormatString(Res::IDS_FAILURE_INCOMPLETE, {int(f.received), int(f.expected)});
    case NFailureCause::Checksum: return Res::LoadString(Res::IDS_FAILURE_CHECKSUM);
    case NFailureCause::LinkLost:
        return Res::FormatString(Res::IDS_FAILURE_LINK_LOST,
                                 {f.streamText.isEmpty() ? Res::LoadString(Res::IDS_FAILURE_NO_REASON) : f.streamText});
    case NFailureCause::Refused:
        return Res::FormatString(Res::IDS_FAILURE_REFUSED,
                                 {QStringLiteral("%1").arg(f.status, 2, 16, QLatin1Char('0')).toUpper()});
    case NFailureCause::WrongType: return Res::LoadString(Res::IDS_FAILURE_WRONG_TYPE);
    case NFailureCause::BadReply: return Res::LoadString(Res::IDS_FAILURE_BAD_REPLY);
    case NFailureCause::Unplugged: return Res::FormatString(Res::IDS_FAILURE_UNPLUGGED, {f.streamText});
    }
    return {};
}

QString WithCause(const QString &message, const SFailure &failure)
{
    const QString cause = FailureText(failure);
    return cause.isEmpty() ? message : message + u'\n' + cause;
}

}   // namespace Device
