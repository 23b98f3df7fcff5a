#pragma once
// The guard around every command and event handler: an exception that gets
// this far is shown in a message box and the program goes on with the next
// event.

#include <exception>
#include <utility>

class IMessageService;

namespace Guard {

// Thrown where the user cancelled deep inside an operation: ends it without a
// message.
class UserCancelled : public std::exception
{
public:
    const char *what() const noexcept override { return ""; }
};

// A menu or toolbar command, or any other handler: decides the text of an
// exception that carries none.
enum class Origin { Command, Handler };

// Shows `error` (never a UserCancelled); the box's text is the exception's
// own, or "Command failed." / "Internal application error.".
void ShowException(IMessageService &messages, std::exception_ptr error, Origin origin);

// The service used by handlers that have none at hand (QApplication::notify).
void SetDefaultService(IMessageService *messages);
IMessageService *DefaultService();

// Runs `work`; false when it ended by an exception (shown, or a cancel).
template <class F>
bool Run(IMessageService &messages, Origin origin, F &&work)
{
    try {
        std::forward<F>(work)();
        return true;
    } catch (...) {
        ShowException(messages, std::current_exception(), origin);
        return false;
    }
}

}   // namespace Guard
