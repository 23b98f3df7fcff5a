#pragma once
// A QApplication whose event delivery is guarded: an exception that escapes
// any event handler is shown ("Internal application error." when it carries
// no text) and the program goes on.

#include <QApplication>

class CGuardedApplication : public QApplication
{
    Q_OBJECT
public:
    CGuardedApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};
