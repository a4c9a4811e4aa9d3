#pragma once

#include <QLabel>
#include <QRect>
#include <QWidget>

namespace quarvel {

// Layouts are drawn in twips: 15 twips are one pixel at 96 DPI; Qt scales pixels to the screen.
inline int twips(int t)
{
    return (t + 7) / 15;
}

inline void placeTwips(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

// A field announced by its visible label: the label is its buddy and names it for screen readers.
inline void labelField(QLabel* label, QWidget* field)
{
    label->setBuddy(field);
    field->setAccessibleName(label->text().remove(QLatin1Char('&')));
}

} // namespace quarvel
