#pragma once

#include "programmer/BootLoaderLink.h"
#include "programmer/HexRecord.h"

#include <QList>
#include <QWidget>

#include <optional>

class QLineEdit;
class QProgressBar;
class QPushButton;

namespace quarvel {

struct Identification;
class Prompter;
class SerialLink;
class SerialPort;

// The Program tab: what the boot loader told on entry, the image file, erase, program and verify
// of the application area, and the fuse and lock bits, all through the boot loader. Entering and
// leaving the loader is the window's, through a BootLoaderSession.
class ProgramTab : public QWidget {
    Q_OBJECT
public:
    ProgramTab(SerialPort& port, SerialLink& link, Prompter& prompter, QWidget* parent = nullptr);
    ProgramTab(SerialPort& port, SerialLink& link, Prompter& prompter, const ProgrammerTiming& timing,
               QWidget* parent = nullptr);

    // Before the boot loader is entered: the progress bar back at its start.
    void resetProgress();
    // What the boot loader told on entry, in its boxes; a failure to reach it is told the user.
    void showIdentification(const Identification& id);

    // An erase or program failed, or the last verify did not find the image whole: the flash does
    // not hold a verified application, and starting it could leave nothing that answers.
    bool flashUnverified() const { return m_flashUnverified; }
    // A loader found running: what the flash holds is not known to be a whole application.
    void setFlashUnverified() { m_flashUnverified = true; }

    // The signature bytes of the last identification.
    QList<int> signatureBytes() const { return m_signatureBytes; }

private slots:
    void cmdFileName_Click();
    void cmdEraseFlash_Click();
    void cmdProgramFlash_Click();
    void cmdVerifyFlash_Click();
    void cmdReadFlash_Click();
    void cmdFuseBits_Click();
    void cmdLockBits_Click();

private:
    void buildControls();
    // Loads the image named in the file box; false (after telling the user) when it cannot be used.
    bool loadImage(bool forProgramming);
    void writeBits(QLineEdit* box, const QString& what, bool fuse);

    SerialPort& m_port;
    SerialLink& m_link;
    Prompter& m_prompter;
    BootLoaderLink m_loader;
    HexRecords m_hexRecords;
    QList<int> m_signatureBytes;
    // The fuse and lock bits as the loader last told them, or as last written.
    std::optional<quint8> m_fuseBits;
    std::optional<quint8> m_lockBits;
    bool m_flashUnverified = false;

    QLineEdit* m_txtFileName = nullptr;
    QProgressBar* m_progress = nullptr;
    QLineEdit* m_txtProgrammer = nullptr;
    QLineEdit* m_txtSWver = nullptr;
    QLineEdit* m_txtHWver = nullptr;
    QLineEdit* m_txtSignature = nullptr;
    QLineEdit* m_txtLockBits = nullptr;
    QLineEdit* m_txtFuseBits = nullptr;
};

} // namespace quarvel
