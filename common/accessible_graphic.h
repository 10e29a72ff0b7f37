#pragma once

#include <QString>

class QWidget;

// A widget that shows a picture of something is, to a screen reader, an image: that role, with
// the widget's accessible name and a description of what a sighted person sees in it.
class AccessibleGraphic
{
public:
    // Before the widget is first shown.
    static void mark(QWidget& widget);
    // The description, and the news of it for a screen reader that follows the widget.
    static void describe(QWidget& widget, const QString& description);
};
