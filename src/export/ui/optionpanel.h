#pragma once
// COptionPanel: the export dialogs' drawn option columns. Each column is a
// white panel with a header band and its options (an icon and a label); a
// click picks an option within its column, the option under the pointer is
// highlighted, and a last column may show a preview. The keyboard works too:
// Left/Right change the column, Up/Down pick within it.

#include "render/sensitivearea.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

// The choices both export dialogs offer.
enum class NExportTarget { OneFile, EachFile, Clipboard };
enum class NExportData { All, Selection };

class COptionPanel : public QWidget
{
    Q_OBJECT
public:
    // Paints an option's icon (or the preview) into the given rectangle.
    using Painter = std::function<void(QPainter &, const QRect &)>;

    struct SOption
    {
        QString text;
        QString name;   // the option's object name, for tests and scripts
        Painter icon;
    };

    explicit COptionPanel(QWidget *parent = nullptr);

    // A column of options; `textWidth` is its labels' width before a wider
    // word or title widens it. Returns the column's index.
    int AddGroup(const QString &title, int textWidth, std::vector<SOption> options, int selected);
    void SetPreview(const QString &title, int textWidth, Painter paint);

    int Selected(int group) const { return m_groups.at(std::size_t(group)).selected; }
    void Select(int group, int option);
    int GroupCount() const { return int(m_groups.size()); }
    int OptionCount(int group) const { return int(m_groups.at(std::size_t(group)).options.size()); }
    const SOption &Option(int group, int option) const
    {
        return m_groups.at(std::size_t(group)).options.at(std::size_t(option));
    }
    const QString &GroupTitle(int group) const { return m_groups.at(std::size_t(group)).title; }
    // Where an option lies, by its object name; empty when there is none.
    QRect OptionRect(const QString &name) const;
    QRect OptionRect(int group, int option) const;
    QRect BandRect(int group) const { return m_groups.at(std::size_t(group)).band; }
    QRect PreviewRect() const;
    // The option with the keyboard focus: its column and its index.
    std::pair<int, int> FocusOption() const;
    // Options counted across the columns, as the accessibility tree lists them.
    int FlatIndex(int group, int option) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // The palette of the drawn panels.
    static const QColor kFrame;
    static const QColor kBand;
    static const QColor kBandLine;
    static const QColor kTitle;

Q_SIGNALS:
    void Changed(int group, int option);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    struct SGroup
    {
        QString title;
        int textWidth = 0;
        std::vector<SOption> options;
        int selected = 0;
        // Laid out in widget coordinates.
        QRect band;
        std::vector<QRect> items;
    };

    void relayout();
    int itemHeight(const SGroup &group, const QString &text) const;
    QRect textRect(const QRect &item) const;
    void setHover(int group, int option);
    void moveFocus(int group);
    void notifyFocus();

    std::vector<SGroup> m_groups;
    QString m_previewTitle;
    int m_previewWidth = 0;
    Painter m_preview;
    QRect m_previewBand;
    QRect m_previewArea;
    QSize m_size;
    CSensitiveArea m_areas;
    int m_hoverGroup = -1;
    int m_hoverOption = -1;
    int m_focusGroup = 0;
};
