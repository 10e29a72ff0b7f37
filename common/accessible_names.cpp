#include "accessible_names.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QWidget>

namespace {

constexpr char kGraphicProperty[] = "ticketwrightGraphic";
constexpr char kNamedListProperty[] = "ticketwrightNamedList";

// A list with its label for a name and its item for a value; its popup list is its one child,
// as the platform's own has it, so a screen reader still walks the items.
class NamedList : public QAccessibleWidget
{
public:
    explicit NamedList(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        const auto* list = static_cast<const QComboBox*>(widget());
        switch (t) {
        case QAccessible::Name:
            return list->accessibleName();
        case QAccessible::Value:
            return list->currentText();
        default:
            return QAccessibleWidget::text(t);
        }
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(
                                static_cast<QComboBox*>(widget())->view())
                          : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child != nullptr && child->object() == static_cast<QComboBox*>(widget())->view()
                   ? 0
                   : -1;
    }
    QStringList actionNames() const override { return {showMenuAction()}; }
    void doAction(const QString& action) override
    {
        if (action == showMenuAction()) {
            static_cast<QComboBox*>(widget())->showPopup();
        }
    }
};

QAccessibleInterface* interfaceFor(const QString&, QObject* object)
{
    if (object == nullptr || !object->isWidgetType()) {
        return nullptr;
    }
    if (object->property(kGraphicProperty).toBool()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
    }
    if (object->property(kNamedListProperty).toBool()) {
        if (auto* list = qobject_cast<QComboBox*>(object)) {
            return new NamedList(list);
        }
    }
    return nullptr;
}

void installOnce()
{
    static const bool installed = [] {
        QAccessible::installFactory(interfaceFor);
        return true;
    }();
    (void)installed;
}

} // namespace

void AccessibleNames::markGraphic(QWidget& widget)
{
    installOnce();
    widget.setProperty(kGraphicProperty, true);
}

void AccessibleNames::describe(QWidget& widget, const QString& description)
{
    if (widget.accessibleDescription() != description) {
        widget.setAccessibleDescription(description);
    }
}

void AccessibleNames::nameList(QComboBox& list, const QString& name)
{
    installOnce();
    list.setProperty(kNamedListProperty, true);
    list.setAccessibleName(name);
}
