#pragma once
// CSynchronizeDlg: asked when objects arriving from the instrument are
// already the project's latest ones. Returns 6 for "Add new objects only",
// 7 for "Add all objects" and 2 for Cancel, as the document expects.

#include <QDialog>

class CSynchronizeDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kAddNewOnly = 6;
    static constexpr int kAddAll = 7;
    static constexpr int kCancel = 2;

    // `incoming` objects arrived, `newOnes` of them are not in the project.
    CSynchronizeDlg(int incoming, int newOnes, QWidget *parent = nullptr);

    // The answer after the dialog ran (Cancel when it was closed otherwise).
    int Answer() const { return m_answer; }

private:
    int m_answer = kCancel;
};
