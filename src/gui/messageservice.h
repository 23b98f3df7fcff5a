#pragma once
// Every message box, file dialog and modal dialog of the program goes through
// this interface: the program shows real dialogs, tests answer from a script
// and fail on a question they did not expect.

#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QPrinter;
class QWidget;

// A file dialog as the resources describe it: the filter in the historical
// "Text (*.a)|*.a|All Files (*.*)|*.*||" form, a default suffix without the
// point, and the name proposed at first.
struct SFileDialog
{
    QString filter;
    QString defaultSuffix;
    QString initialName;
    QString caption;
};

class IMessageService
{
public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
    // Numbered as message-box answers have always been numbered, so that the
    // values the dialogs return stay comparable.
    enum Answer : int { Ok = 1, Cancel = 2, Retry = 4, Yes = 6, No = 7 };

    virtual ~IMessageService() = default;

    // A message box; an empty caption means the program's title. A question
    // that cannot be undone makes No its default, so that a stray Enter keeps
    // what it would destroy.
    virtual Answer Show(Icon icon, const QString &text, Buttons buttons = Buttons::Ok, const QString &caption = {},
                        Answer defaultAnswer = Yes) = 0;
    // A question answered by one of the named `choices` (the first is the
    // default) or Cancel: the chosen index, -1 when cancelled.
    virtual int Choose(Icon icon, const QString &text, const QStringList &choices) = 0;
    // Nothing when cancelled.
    virtual std::optional<QString> AskOpenFile(const SFileDialog &dialog) = 0;
    // Several existing files, in the dialog's order; empty when cancelled.
    virtual QStringList AskOpenFiles(const SFileDialog &dialog) = 0;
    // Asks before an existing file is overwritten; nothing when cancelled.
    virtual std::optional<QString> AskSaveFile(const SFileDialog &dialog) = 0;
    // Runs a modal dialog and returns its result (QDialog::Accepted, Rejected
    // or a value given to done()).
    virtual int RunDialog(QDialog &dialog) = 0;
    // The print dialog (all or the selection, no page range); false when
    // cancelled.
    virtual bool AskPrinter(QPrinter &printer, bool selectionAvailable) = 0;
};

// The program's implementation with QMessageBox and QFileDialog, owned by the
// window set with SetOwner (the active window when none is set).
class CMessageBoxService : public IMessageService
{
public:
    void SetOwner(QWidget *owner) { m_owner = owner; }

    Answer Show(Icon icon, const QString &text, Buttons buttons = Buttons::Ok, const QString &caption = {},
                Answer defaultAnswer = Yes) override;
    int Choose(Icon icon, const QString &text, const QStringList &choices) override;
    std::optional<QString> AskOpenFile(const SFileDialog &dialog) override;
    QStringList AskOpenFiles(const SFileDialog &dialog) override;
    std::optional<QString> AskSaveFile(const SFileDialog &dialog) override;
    int RunDialog(QDialog &dialog) override;
    bool AskPrinter(QPrinter &printer, bool selectionAvailable) override;

private:
    QWidget *owner() const;
    QStringList runFileDialog(const SFileDialog &dialog, int mode);

    QWidget *m_owner = nullptr;
};

// "Text (*.a)|*.a|All Files (*.*)|*.*||" as Qt name filters. "*.*" becomes
// "*", since a file name need not hold a point here.
QStringList NameFiltersFromResource(const QString &filter);
