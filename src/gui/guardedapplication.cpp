#include "gui/guardedapplication.h"

#include "gui/commandguard.h"

#include <cstdio>

CGuardedApplication::CGuardedApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool CGuardedApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (IMessageService *messages = Guard::DefaultService())
            Guard::ShowException(*messages, std::current_exception(), Guard::Origin::Handler);
        else
            std::fputs("Internal application error.\n", stderr);
        return true;
    }
}
