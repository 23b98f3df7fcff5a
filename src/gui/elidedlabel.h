#pragma once
// CElidedLabel: a one-line label that ends its text in "…" when it is
// narrower than the text, and then shows the whole text as its tooltip. Its
// text() stays whole, for assistive tools and callers.

#include <QLabel>

class CElidedLabel : public QLabel
{
    Q_OBJECT
public:
    explicit CElidedLabel(QWidget *parent = nullptr);

    // What the label shows at its present width.
    QString ShownText() const;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
};
