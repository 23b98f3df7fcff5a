#pragma once
// The maker's logo at the right of the toolbar: a wide picture that acts as a
// button (a tool button would squeeze it into the toolbar's square icons).

#include <QAbstractButton>
#include <QPixmap>

class CLogoButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit CLogoButton(QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QPixmap m_picture;
    bool m_hover = false;
};
