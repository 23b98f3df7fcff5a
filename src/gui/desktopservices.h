#pragma once
// Opening files and addresses with the user's programs, and starting a
// program to wait for: behind an interface, so that tests never start a
// browser or a viewer.

#include <functional>

#include <QString>
#include <QStringList>

class QObject;
class QUrl;

class IDesktopServices
{
public:
    virtual ~IDesktopServices() = default;
    // Opens a file or an address with its default program; false when none
    // could be started.
    virtual bool OpenUrl(const QUrl &url) = 0;
    // Opens a local file with the program the desktop has for it, and says
    // whether that worked: false, with the reason, when the desktop has no
    // program for it or the program failed at once.
    virtual bool OpenFile(const QString &path, QString *reason);
    // Opens a local file to be read (a manual) without waiting for the
    // desktop's answer; `failed` runs later, with the reason, when the desktop
    // had no program for it.
    // `failed` is dropped when `context` is gone by then.
    virtual void ShowFile(const QString &path, QObject *context, std::function<void(const QString &reason)> failed);
    // Starts `program` and waits until it ends. Meanwhile the windows keep
    // painting but take no input, and `waitText` is shown. False, with the
    // reason in `error`, when it could not be started.
    virtual bool RunAndWait(const QString &program, const QStringList &arguments, const QString &waitText,
                            QString *error) = 0;
};

class CDesktopServices : public IDesktopServices
{
public:
    bool OpenUrl(const QUrl &url) override;
    bool OpenFile(const QString &path, QString *reason) override;
    void ShowFile(const QString &path, QObject *context, std::function<void(const QString &reason)> failed) override;
    bool RunAndWait(const QString &program, const QStringList &arguments, const QString &waitText,
                    QString *error) override;
};
