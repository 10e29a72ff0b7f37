#pragma once

#include <QString>

class QComboBox;
class QWidget;

// What a screen reader is told of the controls whose own way would leave it guessing.
class AccessibleNames
{
public:
    // A widget that shows a picture of something is an image: that role, with the widget's
    // accessible name and a description of what a sighted person sees in it. Before the widget
    // is first shown.
    static void markGraphic(QWidget& widget);
    // The description, and the news of it for a screen reader that follows the widget.
    static void describe(QWidget& widget, const QString& description);
    // A list is named by its label, not by its value as the platform's way would have it; its
    // value stays the item shown. Before the list is first shown.
    static void nameList(QComboBox& list, const QString& name);
};
