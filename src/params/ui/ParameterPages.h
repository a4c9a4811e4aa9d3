#pragma once

#include <QObject>
#include <QVector>

#include <memory>

class QLineEdit;
class QPushButton;
class QWidget;

namespace quarvel {

class EepromOperations;
class ParameterBinding;
class SettingsFiles;
class SerialLink;

// Builds the four parameter tabs ("Profile A", "Profile B", "Servo cycle", "Misc.") from the
// parameter table: fields with their labels, preset buttons, the EEPROM and report frames (the
// EEPROM frame also holds the settings files).
class ParameterPages : public QObject {
    Q_OBJECT
public:
    ParameterPages(SerialLink& link, QObject* parent = nullptr);
    ~ParameterPages() override;

    // Page i (0..3); the caller takes ownership by adding it to its tab control.
    QWidget* page(int index) const { return m_pages.value(index); }
    ParameterBinding& binding() { return *m_binding; }
    EepromOperations& eeprom() { return *m_eeprom; }
    SettingsFiles& settingsFiles() { return *m_settingsFiles; }

private:
    QWidget* buildPage(int tab);
    void addPresetButtons(QWidget* page, int tab);
    void addMiscFrames(QWidget* page);

    QVector<QWidget*> m_pages;
    QVector<QLineEdit*> m_parameters;
    QVector<QLineEdit*> m_reports;
    std::unique_ptr<ParameterBinding> m_binding;
    std::unique_ptr<EepromOperations> m_eeprom;
    std::unique_ptr<SettingsFiles> m_settingsFiles;
};

} // namespace quarvel
