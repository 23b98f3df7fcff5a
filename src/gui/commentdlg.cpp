#include "gui/commentdlg.h"

#include "gui/accessibletext.h"
#include "res/resources.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

CCommentDlg::CCommentDlg(QWidget *parent) : QDialog(parent), m_text(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("commentDialog"));
    setWindowTitle(Res::LoadString(Res::IDS_COMMENT_TITLE));
    m_text->setObjectName(QStringLiteral("comment"));
    Accessible::Set(*m_text, Res::IDS_COMMENT_TITLE, Res::IDS_A11Y_COMMENT);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setTabChangesFocus(true);
    // The selection stays visible when the field loses the focus.
    QPalette palette = m_text->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    m_text->setPalette(palette);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(Res::LoadString(Res::IDS_BUTTON_OK), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ok"));
    Accessible::Describe(*ok, Res::IDS_A11Y_COMMENT_OK);
    // Enter starts a new line in the field, so OK is not the default button.
    ok->setAutoDefault(false);
    QPushButton *cancel = buttons->addButton(Res::LoadString(Res::IDS_BUTTON_CANCEL), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancel"));
    Accessible::Describe(*cancel, Res::IDS_A11Y_CANCEL);
    cancel->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    resize(480, 260);
}

void CCommentDlg::SetComment(const QString &comment)
{
    m_text->setPlainText(QString(comment).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

QString CCommentDlg::GetComment() const
{
    return m_text->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
}

void CCommentDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_text->setFocus();
    m_text->moveCursor(QTextCursor::End);
    m_text->ensureCursorVisible();
}
