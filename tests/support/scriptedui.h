#pragma once
// Scripted answers for widget tests: every message box, file dialog and
// modal dialog must have been expected, in order; anything else fails the
// test instead of waiting for a user.

#include "gui/desktopservices.h"
#include "gui/messageservice.h"

#include <QUrl>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace TestSupport {

struct SShownBox
{
    IMessageService::Icon icon;
    QString text;
    IMessageService::Buttons buttons;
    QString caption;
    IMessageService::Answer defaultAnswer = IMessageService::Yes;
};

class CScriptedMessages : public IMessageService
{
public:
    ~CScriptedMessages() override;

    // A box whose text contains `part` (empty: any box), answered with `answer`.
    void ExpectBox(const QString &part, Answer answer = Ok);
    // An answer may also throw: the callable runs instead of answering.
    void ExpectBoxThen(const QString &part, std::function<Answer()> answer);
    // A choice whose text contains `part`, answered with the choice at
    // `index` (-1: Cancel); the choices offered are kept in Choices().
    void ExpectChoice(const QString &part, int index);
    const std::vector<QStringList> &Choices() const { return m_choices; }
    void ExpectOpenFile(std::function<std::optional<QString>()> answer);
    void ExpectOpenFiles(QStringList answer);
    void ExpectSaveFile(std::optional<QString> answer);
    // The dialog named `objectName` is shown (not run modally) and handed to
    // `drive`, which accepts or rejects it; its result is returned.
    void ExpectDialog(const QString &objectName, std::function<void(QDialog &)> drive);
    // The print dialog: `setUp` sets the printer as a user would (output
    // file, range); false cancels.
    void ExpectPrinter(std::function<bool(QPrinter &, bool selectionAvailable)> setUp);

    bool Done() const { return m_script.empty(); }
    const std::vector<SShownBox> &Boxes() const { return m_boxes; }

    Answer Show(Icon icon, const QString &text, Buttons buttons = Buttons::Ok, const QString &caption = {},
                Answer defaultAnswer = Yes) override;
    int Choose(Icon icon, const QString &text, const QStringList &choices) override;
    std::optional<QString> AskOpenFile(const SFileDialog &dialog) override;
    QStringList AskOpenFiles(const SFileDialog &dialog) override;
    std::optional<QString> AskSaveFile(const SFileDialog &dialog) override;
    int RunDialog(QDialog &dialog) override;
    bool AskPrinter(QPrinter &printer, bool selectionAvailable) override;

private:
    enum class Kind { Box, OpenFile, OpenFiles, SaveFile, Dialog, Printer };
    struct Step
    {
        Kind kind;
        QString part;
        std::function<Answer()> box;
        std::function<std::optional<QString>()> file;
        QStringList files;
        std::function<void(QDialog &)> dialog;
        std::function<bool(QPrinter &, bool)> printer;
    };
    std::optional<Step> take(Kind kind, const QString &what);

    std::deque<Step> m_script;
    std::vector<SShownBox> m_boxes;
    std::vector<QStringList> m_choices;
};

class CScriptedDesktop : public IDesktopServices
{
public:
    bool OpenUrl(const QUrl &url) override
    {
        opened.push_back(url);
        return openSucceeds;
    }
    bool RunAndWait(const QString &program, const QStringList &, const QString &, QString *error) override
    {
        started.push_back(program);
        if (!startSucceeds && error)
            *error = QStringLiteral("cannot execute");
        return startSucceeds;
    }

    bool openSucceeds = true;
    bool startSucceeds = true;
    std::vector<QUrl> opened;
    std::vector<QString> started;
};

}   // namespace TestSupport
