#pragma once

#include <QPushButton>
#include <QString>

namespace quarvel {

// A button with its object name (the control's name) and tooltip.
inline QPushButton* namedButton(QWidget* parent, const char* name, const QString& text, const QString& tip)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(tip);
    return b;
}

} // namespace quarvel
