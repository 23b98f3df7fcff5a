#pragma once
// CProgressDlg: the small window with a per-mille bar and one status line
// shown while a long operation runs. Both setters repaint at once, because
// the caller may keep the user-interface thread busy between calls.

#include <QDialog>
#include <QString>

class QLabel;
class QProgressBar;

class CProgressDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CProgressDlg(QWidget *owner);

    // 0 to 1000. Repeating the last position does nothing but 1000, which is
    // shown full at once (999 first, since a bar only animates upwards).
    void SetProgress(int perMille);
    // Shown and repainted when it differs from the text shown last.
    void SetStatusText(const QString &text);
    // Back to the state after creation, for the next operation.
    void Reset();

    int LastPosition() const { return m_lastPosition; }

    // Not closable, neither Escape, Alt+F4 nor the window manager ends it:
    // the operation behind it ends only by itself.
    void SetClosable(bool closable) { m_closable = closable; }
    bool IsClosable() const { return m_closable; }

public Q_SLOTS:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QProgressBar *m_bar;
    QLabel *m_text;
    int m_lastPosition = -1;
    QString m_lastText;
    bool m_closable = true;
};
