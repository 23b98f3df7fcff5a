#include "export/ui/optionpanelaccessible.h"

#include "export/ui/optionpanel.h"

#include <QAccessibleWidget>

#include <map>

namespace {

class COptionAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    COptionAccessible(COptionPanel *panel, int group, int option) : m_panel(panel), m_group(group), m_option(option) {}

    bool isValid() const override { return m_panel; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_panel ? m_panel->window()->windowHandle() : nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_panel); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::RadioButton; }
    void setText(QAccessible::Text, const QString &) override {}

    QString text(QAccessible::Text t) const override
    {
        if (!m_panel)
            return {};
        switch (t) {
        case QAccessible::Name: return m_panel->Option(m_group, m_option).text;
        case QAccessible::Description: return m_panel->GroupTitle(m_group);
        default: return {};
        }
    }

    QRect rect() const override
    {
        if (!m_panel)
            return {};
        const QRect r = m_panel->OptionRect(m_group, m_option);
        return QRect(m_panel->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!m_panel)
            return s;
        s.checkable = true;
        s.focusable = true;
        s.checked = m_panel->Selected(m_group) == m_option;
        s.focused = m_panel->hasFocus() && m_panel->FocusOption() == std::pair(m_group, m_option);
        s.invisible = !m_panel->isVisible();
        return s;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (m_panel && name == pressAction())
            m_panel->Select(m_group, m_option);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<COptionPanel> m_panel;
    int m_group;
    int m_option;
};

class CPanelAccessible : public QAccessibleWidget
{
public:
    explicit CPanelAccessible(COptionPanel *panel) : QAccessibleWidget(panel, QAccessible::Grouping) {}
    ~CPanelAccessible() override
    {
        for (const auto &[index, id] : m_children)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override
    {
        int n = 0;
        for (int g = 0; g < panel()->GroupCount(); ++g)
            n += panel()->OptionCount(g);
        return n;
    }

    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (auto found = m_children.find(index); found != m_children.end())
            return QAccessible::accessibleInterface(found->second);
        int group = 0;
        int option = index;
        while (option >= panel()->OptionCount(group))
            option -= panel()->OptionCount(group++);
        auto *made = new COptionAccessible(panel(), group, option);
        m_children[index] = QAccessible::registerAccessibleInterface(made);
        return made;
    }

    int indexOfChild(const QAccessibleInterface *childInterface) const override
    {
        for (const auto &[index, id] : m_children)
            if (QAccessible::accessibleInterface(id) == childInterface)
                return index;
        return -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint local = panel()->mapFromGlobal(QPoint(x, y));
        for (int g = 0; g < panel()->GroupCount(); ++g)
            for (int o = 0; o < panel()->OptionCount(g); ++o)
                if (panel()->OptionRect(g, o).contains(local))
                    return child(panel()->FlatIndex(g, o));
        return nullptr;
    }

    QAccessibleInterface *focusChild() const override
    {
        if (!panel()->hasFocus())
            return nullptr;
        const auto [group, option] = panel()->FocusOption();
        return group < 0 ? nullptr : child(panel()->FlatIndex(group, option));
    }

private:
    COptionPanel *panel() const { return static_cast<COptionPanel *>(widget()); }

    mutable std::map<int, QAccessible::Id> m_children;
};

QAccessibleInterface *makeInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String("COptionPanel") && object && object->isWidgetType())
        return new CPanelAccessible(static_cast<COptionPanel *>(object));
    return nullptr;
}

}   // namespace

void InstallOptionPanelAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(makeInterface);
        return true;
    }();
    (void)installed;
}
