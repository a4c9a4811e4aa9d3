#pragma once

#include "params/SettingsTransfer.h"

#include <QDialog>

namespace quarvel {

// What loading a settings file would change, code by code, with the instrument's value and the
// file's, before anything is written. "Load" goes on; Cancel (the default) and Escape write nothing.
class SettingsChangesDialog : public QDialog {
    Q_OBJECT
public:
    SettingsChangesDialog(const QString& fileName, const QList<SettingChange>& changes, QWidget* parent = nullptr);

    // Shows the dialog modally; true when the user chose "Load".
    bool ask() { return exec() == QDialog::Accepted; }
};

} // namespace quarvel
