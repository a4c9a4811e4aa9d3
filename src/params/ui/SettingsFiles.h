#pragma once

#include <QString>

class QWidget;

namespace quarvel {

class ParameterBinding;

// The "Misc." tab's settings files: every setting of the instrument saved to a file, or brought
// back from one, in the format of quarvel-cli's backup and restore.
class SettingsFiles {
public:
    static inline const QString kSaveTitle = QStringLiteral("Save Settings to File...");
    static inline const QString kLoadTitle = QStringLiteral("Load Settings from File...");
    static inline const QString kPattern = QStringLiteral("*.txt");

    // dialogParent: the window the preview of a load belongs to.
    SettingsFiles(ParameterBinding& binding, QWidget* dialogParent) : m_binding(binding), m_dialogParent(dialogParent)
    {
    }

    // Sends the values the instrument never confirmed, reads every setting and writes the file
    // whole; a setting that gives no value leaves no file.
    void saveToFile();
    // Refuses a file that is no settings backup before anything is sent. Otherwise shows what
    // would change, and on "Load" writes each setting, reads it back and lists every difference.
    // Nothing is saved to the EEPROM; the unsaved-changes flag is set.
    void loadFromFile();

private:
    ParameterBinding& m_binding;
    QWidget* m_dialogParent;
};

} // namespace quarvel
