#include "gui/messageservice.h"

#include "gui/icons.h"
#include "res/resources.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include <algorithm>

namespace {

QMessageBox::Icon boxIcon(IMessageService::Icon icon)
{
    switch (icon) {
    case IMessageService::Icon::None: return QMessageBox::NoIcon;
    case IMessageService::Icon::Information: return QMessageBox::Information;
    case IMessageService::Icon::Warning: return QMessageBox::Warning;
    case IMessageService::Icon::Error: return QMessageBox::Critical;
    case IMessageService::Icon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(IMessageService::Buttons buttons)
{
    switch (buttons) {
    case IMessageService::Buttons::Ok: return QMessageBox::Ok;
    case IMessageService::Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case IMessageService::Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case IMessageService::Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case IMessageService::Buttons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

IMessageService::Answer answerOf(int button, IMessageService::Buttons buttons)
{
    switch (button) {
    case QMessageBox::Ok: return IMessageService::Ok;
    case QMessageBox::Yes: return IMessageService::Yes;
    case QMessageBox::No: return IMessageService::No;
    case QMessageBox::Retry: return IMessageService::Retry;
    case QMessageBox::Cancel: return IMessageService::Cancel;
    }
    // Closed with the window's close button or Escape.
    return buttons == IMessageService::Buttons::Ok ? IMessageService::Ok : IMessageService::Cancel;
}

// The program's own drawn icons: the style's bitmaps blur at 200 %.
void setBoxIcon(QMessageBox &box, IMessageService::Icon icon)
{
    const char16_t *name = nullptr;
    switch (icon) {
    case IMessageService::Icon::None: return;
    case IMessageService::Icon::Information: name = u"msg-information"; break;
    case IMessageService::Icon::Warning: name = u"msg-warning"; break;
    case IMessageService::Icon::Error: name = u"msg-error"; break;
    case IMessageService::Icon::Question: name = u"msg-question"; break;
    }
    const QPixmap picture = Icons::Picture(name, QSize(32, 32), qApp->devicePixelRatio());
    if (!picture.isNull())
        box.setIconPixmap(picture);
}

// A button reads only as "Yes" or "OK": its description is what it answers.
void describeButtons(QMessageBox &box)
{
    for (QAbstractButton *button : box.buttons())
        button->setAccessibleDescription(box.text());
}

}   // namespace

QWidget *CMessageBoxService::owner() const
{
    return m_owner ? m_owner : QApplication::activeWindow();
}

IMessageService::Answer CMessageBoxService::Show(Icon icon, const QString &text, Buttons buttons,
                                                 const QString &caption, Answer defaultAnswer)
{
    QMessageBox box(boxIcon(icon), caption.isEmpty() ? Res::LoadString(Res::IDS_APP_TITLE) : caption,
                    QString(text).remove(u'\r'), boxButtons(buttons), owner());
    setBoxIcon(box, icon);
    if (buttons == Buttons::YesNoCancel || buttons == Buttons::YesNo)
        box.setDefaultButton(defaultAnswer == No ? QMessageBox::No : QMessageBox::Yes);
    describeButtons(box);
    return answerOf(box.exec(), buttons);
}

int CMessageBoxService::Choose(Icon icon, const QString &text, const QStringList &choices)
{
    QMessageBox box(boxIcon(icon), Res::LoadString(Res::IDS_APP_TITLE), QString(text).remove(u'\r'),
                    QMessageBox::NoButton, owner());
    setBoxIcon(box, icon);
    std::vector<QAbstractButton *> buttons;
    for (const QString &choice : choices)
        buttons.push_back(box.addButton(choice, QMessageBox::AcceptRole));
    QPushButton *cancel = box.addButton(Res::LoadString(Res::IDS_BUTTON_CANCEL), QMessageBox::RejectRole);
    box.setEscapeButton(cancel);
    describeButtons(box);
    if (!buttons.empty())
        box.setDefaultButton(static_cast<QPushButton *>(buttons.front()));
    box.exec();
    const auto chosen = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    return chosen == buttons.end() ? -1 : int(chosen - buttons.begin());
}

QStringList CMessageBoxService::runFileDialog(const SFileDialog &d, int mode)
{
    QFileDialog dialog(owner(), d.caption);
    dialog.setNameFilters(NameFiltersFromResource(d.filter));
    dialog.setDefaultSuffix(d.defaultSuffix);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (mode == 2) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(mode == 1 ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    }
    if (!d.initialName.isEmpty())
        dialog.selectFile(d.initialName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

std::optional<QString> CMessageBoxService::AskOpenFile(const SFileDialog &dialog)
{
    const QStringList files = runFileDialog(dialog, 0);
    if (files.isEmpty())
        return std::nullopt;
    return files.first();
}

QStringList CMessageBoxService::AskOpenFiles(const SFileDialog &dialog)
{
    return runFileDialog(dialog, 1);
}

std::optional<QString> CMessageBoxService::AskSaveFile(const SFileDialog &dialog)
{
    const QStringList files = runFileDialog(dialog, 2);
    if (files.isEmpty())
        return std::nullopt;
    return files.first();
}

int CMessageBoxService::RunDialog(QDialog &dialog)
{
    return dialog.exec();
}

bool CMessageBoxService::AskPrinter(QPrinter &printer, bool selectionAvailable)
{
    QPrintDialog dialog(&printer, owner());
    // Printing to a file stays: without a printer it is how a report is made.
    QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintToFile
                                                       | QAbstractPrintDialog::PrintShowPageSize
                                                       | QAbstractPrintDialog::PrintPageRange;
    if (selectionAvailable)
        options |= QAbstractPrintDialog::PrintSelection;
    dialog.setOptions(options);
    return dialog.exec() == QDialog::Accepted;
}

QStringList NameFiltersFromResource(const QString &filter)
{
    QStringList parts = filter.split(u'|');
    while (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(QStringLiteral("*.*"), QStringLiteral("*")).replace(u';', u' ');
        // Qt reads the patterns from the last parentheses of the text.
        const qsizetype open = description.lastIndexOf(u'(');
        if (open >= 0 && description.endsWith(u')'))
            description.truncate(open);
        result << description.trimmed() + QStringLiteral(" (") + patterns + u')';
    }
    return result;
}
