#include "support/scriptedui.h"

#include <QDialog>
#include <QPrinter>

#include <gtest/gtest.h>

namespace TestSupport {

CScriptedMessages::~CScriptedMessages()
{
    for (const Step &s : m_script)
        ADD_FAILURE() << "an expected question never came: " << s.part.toStdString();
}

void CScriptedMessages::ExpectBox(const QString &part, Answer answer)
{
    ExpectBoxThen(part, [answer] { return answer; });
}

void CScriptedMessages::ExpectBoxThen(const QString &part, std::function<Answer()> answer)
{
    m_script.push_back({Kind::Box, part, std::move(answer), {}, {}, {}, {}});
}

void CScriptedMessages::ExpectOpenFile(std::function<std::optional<QString>()> answer)
{
    m_script.push_back({Kind::OpenFile, QStringLiteral("<open file>"), {}, std::move(answer), {}, {}, {}});
}

void CScriptedMessages::ExpectOpenFiles(QStringList answer)
{
    m_script.push_back({Kind::OpenFiles, QStringLiteral("<open files>"), {}, {}, std::move(answer), {}, {}});
}

void CScriptedMessages::ExpectSaveFile(std::optional<QString> answer)
{
    m_script.push_back({Kind::SaveFile, QStringLiteral("<save file>"), {}, [answer] { return answer; }, {}, {}, {}});
}

void CScriptedMessages::ExpectDialog(const QString &objectName, std::function<void(QDialog &)> drive)
{
    m_script.push_back({Kind::Dialog, objectName, {}, {}, {}, std::move(drive), {}});
}

void CScriptedMessages::ExpectPrinter(std::function<bool(QPrinter &, bool)> setUp)
{
    Step step{Kind::Printer, QStringLiteral("<print dialog>"), {}, {}, {}, {}, std::move(setUp)};
    m_script.push_back(std::move(step));
}

bool CScriptedMessages::AskPrinter(QPrinter &printer, bool selectionAvailable)
{
    std::optional<Step> step = take(Kind::Printer, QStringLiteral("<print dialog>"));
    return step && step->printer(printer, selectionAvailable);
}

std::optional<CScriptedMessages::Step> CScriptedMessages::take(Kind kind, const QString &what)
{
    if (m_script.empty() || m_script.front().kind != kind) {
        ADD_FAILURE() << "unexpected question: " << what.toStdString()
                      << (m_script.empty() ? std::string(" (none expected)")
                                           : " (expected " + m_script.front().part.toStdString() + ")");
        return std::nullopt;
    }
    Step step = std::move(m_script.front());
    m_script.pop_front();
    return step;
}

IMessageService::Answer CScriptedMessages::Show(Icon icon, const QString &text, Buttons buttons, const QString &caption,
                                                Answer defaultAnswer)
{
    m_boxes.push_back({icon, text, buttons, caption, defaultAnswer});
    std::optional<Step> step = take(Kind::Box, text);
    if (!step)
        return Cancel;
    EXPECT_TRUE(text.contains(step->part))
        << "box \"" << text.toStdString() << "\" does not say \"" << step->part.toStdString() << "\"";
    return step->box();
}

void CScriptedMessages::ExpectChoice(const QString &part, int index)
{
    ExpectBoxThen(part, [index] { return Answer(index); });
}

int CScriptedMessages::Choose(Icon icon, const QString &text, const QStringList &choices)
{
    m_choices.push_back(choices);
    m_boxes.push_back({icon, text, Buttons::OkCancel, {}});
    std::optional<Step> step = take(Kind::Box, text);
    if (!step)
        return -1;
    EXPECT_TRUE(text.contains(step->part))
        << "choice \"" << text.toStdString() << "\" does not say \"" << step->part.toStdString() << "\"";
    return int(step->box());
}

std::optional<QString> CScriptedMessages::AskOpenFile(const SFileDialog &)
{
    std::optional<Step> step = take(Kind::OpenFile, QStringLiteral("<open file>"));
    return step ? step->file() : std::nullopt;
}

QStringList CScriptedMessages::AskOpenFiles(const SFileDialog &)
{
    std::optional<Step> step = take(Kind::OpenFiles, QStringLiteral("<open files>"));
    return step ? step->files : QStringList();
}

std::optional<QString> CScriptedMessages::AskSaveFile(const SFileDialog &)
{
    std::optional<Step> step = take(Kind::SaveFile, QStringLiteral("<save file>"));
    return step ? step->file() : std::nullopt;
}

int CScriptedMessages::RunDialog(QDialog &dialog)
{
    std::optional<Step> step = take(Kind::Dialog, dialog.objectName());
    if (!step)
        return QDialog::Rejected;
    if (step->part != dialog.objectName()) {
        ADD_FAILURE() << "expected the dialog " << step->part.toStdString() << ", got "
                      << dialog.objectName().toStdString();
        return QDialog::Rejected;
    }
    dialog.show();
    step->dialog(dialog);
    dialog.hide();
    return dialog.result();
}

}   // namespace TestSupport
