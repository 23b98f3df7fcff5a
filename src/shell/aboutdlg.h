#pragma once
// CAboutDlg: the program's version, release and build, its description,
// comments and copyright — and, while a language library is active, the
// library's own.

#include <QDialog>

class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget *parent = nullptr);
};
