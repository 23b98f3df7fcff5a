#include "export/ui/optionpanel.h"

#include "export/ui/optionpanelaccessible.h"
#include "render/tablecells.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

const QColor COptionPanel::kFrame(155, 175, 202);
const QColor COptionPanel::kBand(221, 231, 238);
const QColor COptionPanel::kBandLine(197, 197, 197);
const QColor COptionPanel::kTitle(0, 21, 110);

namespace {

constexpr int kTop = 7;
constexpr int kBottom = 300;
constexpr int kMargin = 7;   // between the frame and the panels, and between panels
constexpr int kBeyond = 3;   // a panel's border outside its header band
constexpr int kPad = 4;
constexpr int kIconWidth = 32;
constexpr int kIconHeight = 26;
constexpr int kIconGap = 6;
constexpr int kItemGap = 3;
constexpr int kTextFlags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter;

struct SLook
{
    QColor top, bottom, border;
};

// Hovered, selected, and both.
const SLook kHovered{{245, 250, 253}, {232, 246, 253}, {216, 240, 250}};
const SLook kChosen{{240, 248, 253}, {213, 239, 252}, {153, 222, 253}};
const SLook kChosenHovered{{232, 246, 253}, {197, 232, 250}, {182, 230, 251}};

QFont titleFont(const QFont &base)
{
    QFont f = base;
    f.setWeight(QFont::ExtraBold);
    return f;
}

// The widest single word, so that wrapping never has to cut one.
int widestWord(const QFontMetrics &metrics, const QString &text)
{
    int widest = 0;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    return widest;
}

int bandWidth(int textWidth)
{
    return kPad + kIconWidth + kIconGap + textWidth + kPad;
}

}   // namespace

COptionPanel::COptionPanel(QWidget *parent) : QWidget(parent)
{
    InstallOptionPanelAccessibility();
    setObjectName(QStringLiteral("options"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int COptionPanel::AddGroup(const QString &title, int textWidth, std::vector<SOption> options, int selected)
{
    SGroup group;
    group.title = title;
    group.textWidth = textWidth;
    group.options = std::move(options);
    group.selected = std::clamp(selected, 0, int(group.options.size()) - 1);
    m_groups.push_back(std::move(group));
    relayout();
    return int(m_groups.size()) - 1;
}

void COptionPanel::SetPreview(const QString &title, int textWidth, Painter paint)
{
    m_previewTitle = title;
    m_previewWidth = textWidth;
    m_preview = std::move(paint);
    relayout();
}

void COptionPanel::Select(int group, int option)
{
    SGroup &g = m_groups.at(std::size_t(group));
    if (option < 0 || option >= int(g.options.size()) || option == g.selected)
        return;
    g.selected = option;
    update();
    if (QAccessible::isActive()) {
        QAccessible::State checked;
        checked.checked = true;
        QAccessibleStateChangeEvent changed(this, checked);
        changed.setChild(FlatIndex(group, option));
        QAccessible::updateAccessibility(&changed);
        if (group == m_focusGroup)
            notifyFocus();
    }
    Q_EMIT Changed(group, option);
}

QRect COptionPanel::OptionRect(const QString &name) const
{
    for (const SGroup &g : m_groups)
        for (std::size_t i = 0; i < g.options.size(); ++i)
            if (g.options[i].name == name)
                return g.items[i];
    return {};
}

QRect COptionPanel::OptionRect(int group, int option) const
{
    return m_groups.at(std::size_t(group)).items.at(std::size_t(option));
}

QRect COptionPanel::PreviewRect() const
{
    return m_previewArea;
}

std::pair<int, int> COptionPanel::FocusOption() const
{
    if (m_groups.empty())
        return {-1, -1};
    return {m_focusGroup, m_groups[std::size_t(m_focusGroup)].selected};
}

QSize COptionPanel::sizeHint() const
{
    return m_size;
}

int COptionPanel::itemHeight(const SGroup &group, const QString &text) const
{
    const QRect bounds = fontMetrics().boundingRect(QRect(0, 0, group.textWidth, 10000), kTextFlags, text);
    return std::max(kIconHeight, bounds.height()) + 2 * kPad;
}

QRect COptionPanel::textRect(const QRect &item) const
{
    return QRect(item.left() + kPad + kIconWidth + kIconGap, item.top(), item.width() - bandWidth(0), item.height());
}

void COptionPanel::relayout()
{
    const QFontMetrics text(font());
    const QFontMetrics title(titleFont(font()));
    // Widen a column for a word or a title word that would not fit.
    auto widthFor = [&](int wanted, const QString &heading, const std::vector<SOption> &options) {
        int w = std::max(wanted, widestWord(title, heading) - kIconWidth - kIconGap);
        for (const SOption &o : options)
            w = std::max(w, widestWord(text, o.text));
        return w;
    };
    for (SGroup &g : m_groups)
        g.textWidth = widthFor(g.textWidth, g.title, g.options);
    if (m_preview)
        m_previewWidth = widthFor(m_previewWidth, m_previewTitle, {});

    // One band height for all columns, so that their options line up.
    int bandHeight = 0;
    auto titleHeight = [&](const QString &heading, int textWidth) {
        return title.boundingRect(QRect(0, 0, bandWidth(textWidth) - 2 * kPad, 10000), Qt::TextWordWrap, heading)
            .height();
    };
    for (const SGroup &g : m_groups)
        bandHeight = std::max(bandHeight, titleHeight(g.title, g.textWidth));
    if (m_preview)
        bandHeight = std::max(bandHeight, titleHeight(m_previewTitle, m_previewWidth));
    bandHeight += 2 * kPad;

    m_areas.Clear();
    int x = kMargin + kBeyond;
    int bottom = kBottom;
    for (std::size_t gi = 0; gi < m_groups.size(); ++gi) {
        SGroup &g = m_groups[gi];
        g.band = QRect(x, kTop + kBeyond, bandWidth(g.textWidth), bandHeight);
        g.items.clear();
        int y = g.band.bottom() + 2 + 2 * kItemGap;
        for (std::size_t i = 0; i < g.options.size(); ++i) {
            const QRect item(x, y, g.band.width(), itemHeight(g, g.options[i].text));
            g.items.push_back(item);
            m_areas.Add(item, 0, int(gi), int(i));
            y = item.bottom() + 1 + kItemGap;
        }
        bottom = std::max(bottom, y + kBeyond);
        x = g.band.right() + 1 + kBeyond + kMargin + kBeyond;
    }
    if (m_preview) {
        m_previewBand = QRect(x, kTop + kBeyond, bandWidth(m_previewWidth), bandHeight);
        const int top = m_previewBand.bottom() + 2 + kPad;
        m_previewArea = QRect(m_previewBand.left(), top, m_previewBand.width(), bottom - kBeyond - kPad - top);
        x = m_previewBand.right() + 1 + kBeyond + kMargin + kBeyond;
    }
    m_size = QSize(x - kBeyond, bottom + kMargin);
    updateGeometry();
    update();
}

bool COptionPanel::event(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        relayout();
    return QWidget::event(event);
}

void COptionPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().button());
    p.setPen(kFrame);
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    auto panel = [&](const QRect &band, int bottom, const QString &heading) {
        const QRect frame(band.left() - kBeyond, kTop, band.width() + 2 * kBeyond, bottom - kTop);
        p.fillRect(frame, Qt::white);
        p.setPen(kFrame);
        p.drawRect(frame.adjusted(0, 0, -1, -1));
        p.fillRect(band, kBand);
        p.setPen(kBandLine);
        p.drawLine(band.left(), band.bottom() + 1, band.right(), band.bottom() + 1);
        p.setFont(titleFont(font()));
        p.setPen(kTitle);
        p.drawText(band.adjusted(kPad, kPad, -kPad, -kPad), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter,
                   heading);
        p.setFont(font());
    };
    const int bottom = m_size.height() - kMargin;
    for (std::size_t gi = 0; gi < m_groups.size(); ++gi) {
        const SGroup &g = m_groups[gi];
        panel(g.band, bottom, g.title);
        for (std::size_t i = 0; i < g.options.size(); ++i) {
            const QRect &item = g.items[i];
            const bool chosen = int(i) == g.selected;
            const bool hovered = int(gi) == m_hoverGroup && int(i) == m_hoverOption;
            if (chosen || hovered) {
                const SLook &look = chosen && hovered ? kChosenHovered : chosen ? kChosen : kHovered;
                Render::PaintGradient(p, item, {look.top, look.top, look.bottom, look.bottom});
                p.setPen(look.border);
                p.drawRect(item.adjusted(0, 0, -1, -1));
            }
            if (g.options[i].icon) {
                const QRect icon(item.left() + kPad, item.center().y() - kIconHeight / 2, kIconWidth, kIconHeight);
                p.save();
                g.options[i].icon(p, icon);
                p.restore();
            }
            p.setPen(Render::kTextColour);
            p.drawText(textRect(item), kTextFlags, g.options[i].text);
            if (chosen && hasFocus() && int(gi) == m_focusGroup) {
                p.setPen(QPen(Render::kTextColour, 1, Qt::DotLine));
                p.drawRect(item.adjusted(2, 2, -3, -3));
            }
        }
    }
    if (m_preview) {
        panel(m_previewBand, bottom, m_previewTitle);
        p.save();
        p.setClipRect(m_previewArea);
        m_preview(p, m_previewArea);
        p.restore();
    }
}

void COptionPanel::setHover(int group, int option)
{
    if (group == m_hoverGroup && option == m_hoverOption)
        return;
    m_hoverGroup = group;
    m_hoverOption = option;
    update();
}

void COptionPanel::mouseMoveEvent(QMouseEvent *event)
{
    const std::optional<CSensitiveArea::SHit> hit = m_areas.HitTest(event->position().toPoint());
    setHover(hit ? hit->value : -1, hit ? hit->id : -1);
}

void COptionPanel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const std::optional<CSensitiveArea::SHit> hit = m_areas.HitTest(event->position().toPoint());
    if (!hit)
        return;
    moveFocus(hit->value);
    Select(hit->value, hit->id);
}

void COptionPanel::leaveEvent(QEvent *)
{
    setHover(-1, -1);
}

void COptionPanel::moveFocus(int group)
{
    if (group == m_focusGroup)
        return;
    m_focusGroup = group;
    update();
    notifyFocus();
}

void COptionPanel::notifyFocus()
{
    if (!QAccessible::isActive() || !hasFocus() || m_groups.empty())
        return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(FlatIndex(m_focusGroup, Selected(m_focusGroup)));
    QAccessible::updateAccessibility(&focus);
}

int COptionPanel::FlatIndex(int group, int option) const
{
    for (int i = 0; i < group; ++i)
        option += OptionCount(i);
    return option;
}

void COptionPanel::keyPressEvent(QKeyEvent *event)
{
    if (m_groups.empty())
        return QWidget::keyPressEvent(event);
    const int group = m_focusGroup;
    const int selected = Selected(group);
    switch (event->key()) {
    case Qt::Key_Left:
        if (group > 0)
            moveFocus(group - 1);
        break;
    case Qt::Key_Right:
        if (group + 1 < GroupCount())
            moveFocus(group + 1);
        break;
    case Qt::Key_Up: Select(group, selected - 1); break;
    case Qt::Key_Down: Select(group, selected + 1); break;
    case Qt::Key_Home: Select(group, 0); break;
    case Qt::Key_End: Select(group, OptionCount(group) - 1); break;
    default: return QWidget::keyPressEvent(event);
    }
}

void COptionPanel::focusInEvent(QFocusEvent *event)
{
    update();
    notifyFocus();
    QWidget::focusInEvent(event);
}

void COptionPanel::focusOutEvent(QFocusEvent *event)
{
    update();
    QWidget::focusOutEvent(event);
}
