#include "programmer/ui/ProgramTab.h"

#include "link/Prompter.h"
#include "link/SerialLink.h"
#include "programmer/BitsChange.h"
#include "programmer/BootLoaderIdentifier.h"
#include "programmer/FlashPage.h"
#include "programmer/FlashReader.h"
#include "programmer/FlashVerifier.h"
#include "programmer/FlashWriter.h"
#include "programmer/HexImageFile.h"
#include "programmer/ImageCheck.h"
#include "programmer/ProgrammerTexts.h"
#include "ui/BusyPointer.h"
#include "ui/Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace quarvel {

namespace {

template <typename W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

ProgramTab::ProgramTab(SerialPort& port, SerialLink& link, Prompter& prompter, QWidget* parent)
    : ProgramTab(port, link, prompter, ProgrammerTiming{}, parent)
{
}

ProgramTab::ProgramTab(SerialPort& port, SerialLink& link, Prompter& prompter, const ProgrammerTiming& timing,
                       QWidget* parent)
    : QWidget(parent), m_port(port), m_link(link), m_prompter(prompter), m_loader(port, timing)
{
    buildControls();
}

void ProgramTab::buildControls()
{
    auto* intro = named(new QLabel(QStringLiteral("This form will allow you to erase the application area of the "
                                                  "flash memory and download a new version."),
                                   this),
                        "lblIntro");
    intro->setWordWrap(true);
    placeTwips(intro, 240, 120, 7320, 480);

    const auto button = [this](const char* name, const QString& caption, int left, int top, int width) {
        auto* b = named(new QPushButton(caption, this), name);
        b->setAutoDefault(false);
        placeTwips(b, left, top, width, 375);
        return b;
    };
    const auto box = [this](const char* name, int left, int top, int width) {
        auto* e = named(new QLineEdit(this), name);
        placeTwips(e, left, top, width, 315);
        return e;
    };
    const auto label = [this](const char* name, const QString& caption, QWidget* field, int left, int top, int width) {
        auto* l = named(new QLabel(caption, this), name);
        placeTwips(l, left, top + 30, width, 255);
        labelField(l, field);
    };

    auto* cmdFileName = button("cmdFileName", QStringLiteral("Program file name"), 240, 720, 1935);
    m_txtFileName = box("txtFileName", 2295, 750, 5265);
    m_txtFileName->setText(kHexFilePattern);
    m_txtFileName->setAccessibleName(QStringLiteral("Program file name"));
    auto* cmdEraseFlash = button("cmdEraseFlash", QStringLiteral("Erase Flash"), 240, 1200, 1935);
    auto* cmdProgramFlash = button("cmdProgramFlash", QStringLiteral("Program Flash"), 240, 1680, 1935);
    m_progress = named(new QProgressBar(this), "progress");
    m_progress->setRange(0, kLastApplicationByte);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progress->setAccessibleName(QStringLiteral("Programming progress"));
    m_progress->hide();
    placeTwips(m_progress, 2295, 1710, 5265, 315);
    auto* cmdVerifyFlash = button("cmdVerifyFlash", QStringLiteral("Verify Flash"), 240, 2160, 1935);
    // A copy of the firmware in the instrument, before it is replaced.
    auto* cmdReadFlash = button("cmdReadFlash", QStringLiteral("Save Flash to File"), 2295, 2160, 1935);

    m_txtProgrammer = box("txtProgrammer", 1860, 2760, 2055);
    label("lblProgrammer", QStringLiteral("Programmer"), m_txtProgrammer, 240, 2760, 1575);
    m_txtLockBits = box("txtLockBits", 5340, 2760, 555);
    label("lblLockBits", QStringLiteral("Lock bits, EF"), m_txtLockBits, 4080, 2760, 1215);
    auto* cmdLockBits = button("cmdLockBits", QStringLiteral("Write Lock Bits"), 6000, 2730, 1560);

    m_txtSWver = box("txtSWver", 1860, 3240, 2055);
    label("lblSWver", QStringLiteral("Software version"), m_txtSWver, 240, 3240, 1575);
    m_txtFuseBits = box("txtFuseBits", 5340, 3240, 555);
    label("lblFuseBits", QStringLiteral("Fuse bits, 8E"), m_txtFuseBits, 4080, 3240, 1215);
    auto* cmdFuseBits = button("cmdFuseBits", QStringLiteral("Write Fuse Bits"), 6000, 3210, 1560);

    m_txtHWver = box("txtHWver", 1860, 3720, 2055);
    label("lblHWver", QStringLiteral("Hardware version"), m_txtHWver, 240, 3720, 1575);
    m_txtSignature = box("txtSignature", 1860, 4200, 2055);
    label("lblSignature", QStringLiteral("Singnature bytes"), m_txtSignature, 240, 4200, 1575);
    // The loader fills these; they are for reading.
    for (QLineEdit* shown : {m_txtProgrammer, m_txtSWver, m_txtHWver, m_txtSignature})
        shown->setReadOnly(true);

    const QList<QWidget*> order{cmdFileName,     m_txtFileName,  cmdEraseFlash, cmdProgramFlash,
                                cmdVerifyFlash,  cmdReadFlash, m_txtProgrammer, m_txtSWver,    m_txtHWver,
                                m_txtSignature,  m_txtLockBits,  cmdLockBits,   m_txtFuseBits,
                                cmdFuseBits};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(cmdFileName, &QPushButton::clicked, this, &ProgramTab::cmdFileName_Click);
    connect(cmdEraseFlash, &QPushButton::clicked, this, &ProgramTab::cmdEraseFlash_Click);
    connect(cmdProgramFlash, &QPushButton::clicked, this, &ProgramTab::cmdProgramFlash_Click);
    connect(cmdVerifyFlash, &QPushButton::clicked, this, &ProgramTab::cmdVerifyFlash_Click);
    connect(cmdReadFlash, &QPushButton::clicked, this, &ProgramTab::cmdReadFlash_Click);
    connect(cmdFuseBits, &QPushButton::clicked, this, &ProgramTab::cmdFuseBits_Click);
    connect(cmdLockBits, &QPushButton::clicked, this, &ProgramTab::cmdLockBits_Click);
}

void ProgramTab::resetProgress()
{
    m_progress->setRange(0, kLastApplicationByte);
    m_progress->setValue(0);
}

void ProgramTab::showIdentification(const Identification& id)
{
    const auto show = [](QLineEdit* box, const std::optional<QString>& text) {
        if (text)
            box->setText(*text);
    };
    show(m_txtProgrammer, id.programmer);
    show(m_txtSWver, id.softwareVersion);
    show(m_txtHWver, id.hardwareVersion);
    show(m_txtSignature, id.signature);
    if (id.signature)
        m_signatureBytes = id.signatureBytes;
    show(m_txtLockBits, id.lockBits);
    show(m_txtFuseBits, id.fuseBits);
    m_lockBits = id.lockBits ? parseBitsText(*id.lockBits, {}).value : std::nullopt;
    m_fuseBits = id.fuseBits ? parseBitsText(*id.fuseBits, {}).value : std::nullopt;
    if (!id.error.isEmpty())
        m_prompter.inform(id.error);
}

void ProgramTab::cmdFileName_Click()
{
    const QString name = m_prompter.openFileName(kHexFileDialogTitle, kHexFilePattern, m_txtFileName->text());
    if (!name.isEmpty())
        m_txtFileName->setText(name);
}

void ProgramTab::cmdEraseFlash_Click()
{
    if (!m_prompter.askYesNo(kEraseQuestion))
        return;
    BusyScope busy(m_link);
    BusyPointer pointer;
    if (!m_loader.erase()) {
        m_flashUnverified = true;
        m_prompter.inform(m_loader.failureMessage());
    }
}

bool ProgramTab::loadImage(bool forProgramming)
{
    CheckedImage image = loadCheckedImage(m_txtFileName->text(), forProgramming);
    m_hexRecords = std::move(image.records);
    if (!image.error.isEmpty()) {
        m_prompter.inform(image.error);
        return false;
    }
    return true;
}

void ProgramTab::cmdProgramFlash_Click()
{
    BusyScope busy(m_link);
    m_progress->setValue(0);
    m_progress->show();
    {
        BusyPointer pointer;
        if (loadImage(true)) {
            const auto result = FlashWriter(m_loader).program(m_hexRecords, [this](int pageAddress) {
                m_progress->setValue(pageAddress);
                m_progress->repaint(); // no event loop runs while programming
            });
            m_flashUnverified = m_flashUnverified || !result.completed;
            if (!result.completed)
                m_prompter.inform(result.error + QStringLiteral("\n\n") + kIncompleteApplicationMessage);
        }
    }
    m_progress->hide();
}

void ProgramTab::cmdVerifyFlash_Click()
{
    BusyScope busy(m_link);
    BusyPointer pointer;
    if (!loadImage(false))
        return;
    const auto result = FlashVerifier(m_loader).verify(m_hexRecords, [this](const FlashMismatch& mismatch) {
        return m_prompter.askYesNo(mismatchText(mismatch) + QStringLiteral(" continue? "));
    });
    if (result.outcome == FlashVerifier::Outcome::Match)
        m_flashUnverified = false;
    else if (result.outcome != FlashVerifier::Outcome::NothingCompared)
        m_flashUnverified = true;
    if (result.outcome == FlashVerifier::Outcome::Failed)
        m_prompter.inform(result.error);
    else if (result.outcome == FlashVerifier::Outcome::Match)
        m_prompter.inform(kVerifyOkMessage);
    else if (result.outcome == FlashVerifier::Outcome::NothingCompared)
        m_prompter.inform(kNothingToVerifyMessage);
}

void ProgramTab::cmdReadFlash_Click()
{
    const QString path = m_prompter.saveFileName(kSaveFlashDialogTitle, kHexFilePattern, kHexFilePattern);
    if (path.isEmpty())
        return;
    BusyScope busy(m_link);
    m_progress->setValue(0);
    m_progress->show();
    FlashReader::Result result;
    {
        BusyPointer pointer;
        result = FlashReader(m_loader).read([this](int address) {
            if (address % kFlashPageBytes == 0) {
                m_progress->setValue(address);
                m_progress->repaint(); // no event loop runs while reading
            }
        });
    }
    m_progress->hide();
    const QString error = result.completed ? saveIntelHex(path, result.bytes) : result.error;
    m_prompter.inform(error.isEmpty() ? flashSavedMessage(static_cast<int>(result.bytes.size()), path) : error);
}

void ProgramTab::writeBits(QLineEdit* box, const QString& what, bool fuse)
{
    const BitsText bits = parseBitsText(box->text(), what);
    if (!bits.value) {
        m_prompter.inform(bits.error);
        return;
    }
    std::optional<quint8>& current = fuse ? m_fuseBits : m_lockBits;
    // The prompter's questions default to No, the safe answer for a lock value that locks the loader out.
    if (!m_prompter.askYesNo(bitsWriteQuestion(fuse, current, *bits.value)))
        return;
    BusyScope busy(m_link);
    const bool written = fuse ? m_loader.writeFuseBits(*bits.value) : m_loader.writeLockBits(*bits.value);
    if (!written) {
        m_prompter.inform(m_loader.failureMessage());
        return;
    }
    // The loader does not answer a write: only reading the bits again shows what the chip holds
    // (a write it ignored, lock bits that cannot be set back to 1).
    BootLoaderIdentifier identifier(m_port, m_link);
    const std::optional<QString> readBack = fuse ? identifier.fuseBits() : identifier.lockBits();
    current = readBack ? parseBitsText(*readBack, {}).value : std::nullopt;
    if (!readBack)
        m_prompter.inform(QStringLiteral("The %1 %2 were written, but the boot loader did not tell them when asked "
                                         "again: their value is not known.").arg(what, hexByte(*bits.value)));
    else if (*readBack != hexByte(*bits.value))
        m_prompter.inform(QStringLiteral("The ") + bitsReadBackDifference(fuse, *bits.value, *readBack)
                          + QStringLiteral(": the instrument did not take them."));
}

void ProgramTab::cmdFuseBits_Click()
{
    writeBits(m_txtFuseBits, QStringLiteral("fuse bits"), true);
}

void ProgramTab::cmdLockBits_Click()
{
    writeBits(m_txtLockBits, QStringLiteral("lock bits"), false);
}

} // namespace quarvel
