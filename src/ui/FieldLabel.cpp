#include "ui/FieldLabel.h"

#include <QEvent>

namespace quarvel {

FieldLabel::FieldLabel(const QString& text, QWidget* parent, int edge, int top, int height, Qt::Alignment alignment)
    : QLabel(text, parent), m_edge(edge), m_top(top), m_height(height)
{
    setAlignment(alignment | Qt::AlignVCenter);
    fit();
}

void FieldLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fit();
}

void FieldLabel::fit()
{
    const int width = sizeHint().width();
    const int left = alignment() & Qt::AlignRight ? m_edge - width : m_edge;
    setGeometry(left, m_top, width, m_height);
}

} // namespace quarvel
