#pragma once
// CCommentDlg ("Please enter a comment"): edits one object's comment. Lines
// scroll sideways instead of wrapping; line breaks are CR LF, as the data
// files keep them.

#include <QDialog>

class QPlainTextEdit;

class CCommentDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CCommentDlg(QWidget *parent = nullptr);

    void SetComment(const QString &comment);
    // The text with CR LF between lines.
    QString GetComment() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QPlainTextEdit *m_text;
};
