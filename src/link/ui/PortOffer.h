#pragma once

#include "link/PortInfo.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace quarvel {

// The offer to look for the instrument on a serial port that appeared and that the program does
// not ask by itself: "A serial port appeared: /dev/ttyUSB0 (FTDI ...). Look for the QUARVEL
// there?" and a button. Nothing is sent to the port unless the button is pressed.
class PortOffer : public QWidget {
    Q_OBJECT
public:
    static inline const QString kButtonText = QStringLiteral("Look &There");

    explicit PortOffer(QWidget* parent = nullptr);

    static QString text(const PortInfo& port);

    // Shows the offer for this port (the newest port replaces an older one).
    void offer(const PortInfo& port);
    // Takes the offer back: any offer, or only the one for this device.
    void withdraw(const QString& device = QString());
    bool offering() const { return !m_port.device.isEmpty(); }
    const PortInfo& port() const { return m_port; }

signals:
    // The user pressed the button: look for the instrument there.
    void taken(const quarvel::PortInfo& port);

private:
    QLabel* m_text;
    QPushButton* m_look;
    PortInfo m_port;
};

} // namespace quarvel
