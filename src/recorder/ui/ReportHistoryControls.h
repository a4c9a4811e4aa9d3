#pragma once

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace quarvel {

// Beside the battery report: the pack label and profile a report is kept under, and "Keep in
// history", which adds a row to the battery history after each "Update Values". The three
// choices are remembered in `settingsFile` (nothing is remembered when it is empty).
class ReportHistoryControls : public QWidget {
    Q_OBJECT
public:
    // profileName gives the name field's text of profile 0 (A) or 1 (B).
    ReportHistoryControls(QString historyPath, QString settingsFile, std::function<QString(int profile)> profileName,
                          QWidget* parent = nullptr);

    void setInstrument(const QString& identification) { m_instrument = identification; }
    // The report was read: keeps a row when asked to. Returns a message, empty when all went well.
    QString reportRead(const QString& noLoad, const QString& loaded, const QString& impedance);
    // The report could not be read: nothing is kept. Returns why, when a row was asked for.
    QString reportNotRead();

    QLineEdit* packLabel() const { return m_pack; }
    QComboBox* profile() const { return m_profile; }
    QCheckBox* keep() const { return m_keep; }
    QString status() const;

private:
    void remember() const;

    QString m_historyPath;
    QString m_settingsFile;
    std::function<QString(int)> m_profileName;
    QString m_instrument;
    QLineEdit* m_pack;
    QComboBox* m_profile;
    QCheckBox* m_keep;
    QLabel* m_status;
};

} // namespace quarvel
