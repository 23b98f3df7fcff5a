#include "gui/commandguard.h"

#include "gui/messageservice.h"
#include "res/resources.h"
#include "res/usermessage.h"

#include <QString>

#include <atomic>
#include <new>

namespace Guard {
namespace {

std::atomic<IMessageService *> g_default{nullptr};

}   // namespace

void SetDefaultService(IMessageService *messages)
{
    g_default.store(messages);
}

IMessageService *DefaultService()
{
    return g_default.load();
}

void ShowException(IMessageService &messages, std::exception_ptr error, Origin origin)
{
    QString text;
    IMessageService::Icon icon = IMessageService::Icon::Error;
    try {
        std::rethrow_exception(error);
    } catch (const UserCancelled &) {
        return;
    } catch (const Res::IUserMessage &e) {
        text = e.message();   // a stream's or a data file's error
    } catch (const std::bad_alloc &) {
        text = Res::LoadString(Res::IDS_STREAM_OUT_OF_MEMORY);
        icon = IMessageService::Icon::Warning;
    } catch (const std::exception &e) {
        text = QString::fromLocal8Bit(e.what());
    } catch (...) {
    }
    if (text.trimmed().isEmpty())
        text = Res::LoadString(origin == Origin::Command ? Res::IDS_COMMAND_FAILED : Res::IDS_INTERNAL_ERROR);
    try {
        messages.Show(icon, text);
    } catch (...) {
        // Nothing sensible is left to do when even the box fails.
    }
}

}   // namespace Guard
