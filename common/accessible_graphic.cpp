#include "accessible_graphic.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace {

constexpr char kGraphicProperty[] = "ticketwrightGraphic";

QAccessibleInterface* graphicFor(const QString&, QObject* object)
{
    if (object == nullptr || !object->isWidgetType() ||
        !object->property(kGraphicProperty).toBool()) {
        return nullptr;
    }
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
}

} // namespace

void AccessibleGraphic::mark(QWidget& widget)
{
    static const bool installed = [] {
        QAccessible::installFactory(graphicFor);
        return true;
    }();
    (void)installed;
    widget.setProperty(kGraphicProperty, true);
}

void AccessibleGraphic::describe(QWidget& widget, const QString& description)
{
    if (widget.accessibleDescription() == description) {
        return;
    }
    widget.setAccessibleDescription(description);
}
