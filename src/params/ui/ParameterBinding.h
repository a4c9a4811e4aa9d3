#pragma once

#include "link/CommandFraming.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <QVector>

class QLineEdit;

namespace quarvel {

class SerialLink;

// Keeps the parameter fields and the instrument in step: a field is written on Enter and when it
// loses the focus to another control (not when a failed read emptied it and nobody typed since);
// all fields are read back by reloadParameters(). Keeps the
// unsaved-changes flag: every typed character sets it; only a completed EEPROM save clears it.
class ParameterBinding : public QObject {
    Q_OBJECT
public:
    ParameterBinding(SerialLink& link, QVector<QLineEdit*> parameters, QVector<QLineEdit*> reports,
                     QObject* parent = nullptr);

    bool dirty() const { return m_dirty; }
    void setDirty(bool dirty) { m_dirty = dirty; }

    QLineEdit* parameter(int index) const { return m_parameters.value(index); }
    QLineEdit* report(int index) const { return m_reports.value(index); }
    int parameterCount() const { return m_parameters.size(); }
    int reportCount() const { return m_reports.size(); }

    // 32 reads: field 0, then fields 0..27, then the three report fields.
    void reloadParameters();
    // The three report reads of "Update Values".
    void updateReport();
    // Sends again every value the instrument never confirmed (each marked on its field); true when
    // none is left unconfirmed.
    bool sendUnsent();
    // The values still unconfirmed, one line each: "Load Resistance, in ohms (DRA): 12".
    QStringList unsentValues() const;
    // The instrument was given these settings from elsewhere (a settings file): the fields that
    // held unconfirmed values for them take the instrument's values again at the next reload.
    void forgetUnsent(const QStringList& codes);

    // Fills a profile's five fields with a preset and writes them in order (see ProfilePresets).
    void applyPreset(const std::array<int, 5>& fields, int presetIndex);

    SerialLink& link() { return m_link; }

signals:
    // "Update Values" read the three report fields from the instrument just now.
    void reportUpdated();
    // "Update Values" got no answer for at least one field (the instrument is unplugged or
    // silent): the fields may hold older values, which are no report.
    void reportNotRead();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void keyPressed(int index, bool enter);
    void focusLost(int index);
    // Writes field index; tells the user when the instrument did not answer.
    void write(int index);
    // Writes field index and remembers (and shows) whether the instrument confirmed nothing of it.
    Answer send(int index);
    void setUnsent(int index, bool unsent);
    void tellUnanswered();

    SerialLink& m_link;
    QVector<QLineEdit*> m_parameters;
    QVector<QLineEdit*> m_reports;
    bool m_dirty = false;
    QSet<int> m_unsent; // fields whose last write no answer confirmed
};

} // namespace quarvel
