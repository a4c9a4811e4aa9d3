#pragma once

#include <QDialog>

namespace quarvel {

// "About...": the product name, what it does and its version.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

} // namespace quarvel
