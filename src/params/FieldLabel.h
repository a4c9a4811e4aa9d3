#pragma once

#include <QEvent>
#include <QLabel>

namespace quarvel {

// The label of a field: it covers only its own text, so it never lies over another field of its
// row and takes no click meant for one. It stays fitted to its text when the window's font
// reaches it, its edge next to the field fixed.
class FieldLabel : public QLabel {
public:
    // edge: the label's right end (right-aligned) or left end (left-aligned), in pixels.
    FieldLabel(const QString& text, QWidget* parent, int edge, int top, int height, Qt::Alignment alignment)
        : QLabel(text, parent), m_edge(edge), m_top(top), m_height(height)
    {
        setAlignment(alignment | Qt::AlignVCenter);
        fit();
    }

protected:
    void changeEvent(QEvent* event) override
    {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange)
            fit();
    }

private:
    void fit()
    {
        const int width = sizeHint().width();
        const int left = alignment() & Qt::AlignRight ? m_edge - width : m_edge;
        setGeometry(left, m_top, width, m_height);
    }

    int m_edge;
    int m_top;
    int m_height;
};

} // namespace quarvel
