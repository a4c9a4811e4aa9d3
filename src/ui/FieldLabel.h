#pragma once

#include <QLabel>

namespace quarvel {

// The label of a field: it covers only its own text, so it never lies over another field of its
// row and takes no click meant for one. It stays fitted to its text when the window's font
// reaches it, its edge next to the field fixed.
class FieldLabel : public QLabel {
public:
    // edge: the label's right end (right-aligned) or left end (left-aligned), in pixels.
    FieldLabel(const QString& text, QWidget* parent, int edge, int top, int height, Qt::Alignment alignment);

protected:
    void changeEvent(QEvent* event) override;

private:
    void fit();

    int m_edge;
    int m_top;
    int m_height;
};

} // namespace quarvel
