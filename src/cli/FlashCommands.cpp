// flash and fuses: the boot loader, entered and left as the window's Program tab does.
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Interrupt.h"
#include "cli/OutputFile.h"
#include "cli/Session.h"
#include "programmer/BitsChange.h"
#include "programmer/BootLoaderLink.h"
#include "programmer/FlashPage.h"
#include "programmer/FlashReader.h"
#include "programmer/FlashVerifier.h"
#include "programmer/FlashWriter.h"
#include "programmer/HexImageFile.h"
#include "programmer/ImageCheck.h"
#include "programmer/ProgrammerTexts.h"
#include "programmer/ProgrammingModeEntry.h"

#include <algorithm>
#include <optional>

namespace quarvel::cli {

namespace {

// The boot loader for the lifetime of a command: entered on start, the application started
// again (and the port back at its settings) on every way out.
class LoaderSession {
public:
    explicit LoaderSession(Session& session) : m_session(session), m_entry(session.port(), session.link())
    {
        m_session.console().info(QStringLiteral("Starting the boot loader"));
        m_session.link().setBootLoaderActive(true);
        m_id = m_entry.run(m_savedSettings);
    }
    ~LoaderSession() { leave(); }

    // kDone when the loader answered, else reports why not.
    int status()
    {
        if (!m_id.error.isEmpty())
            return m_session.fail(kPortFailure, m_session.device() + QStringLiteral(": ") + m_id.error);
        if (!m_id.programmer)
            return m_session.fail(kPortFailure,
                                  QStringLiteral("%1: the boot loader did not answer after \"1pgm\"").arg(m_session.device()));
        return kDone;
    }
    const Identification& identification() const { return m_id; }
    ProgrammingModeEntry& entry() { return m_entry; }

    // Starts the application again; kDone, or reports that the port did not reopen.
    int leave()
    {
        if (m_left)
            return kDone;
        m_left = true;
        const bool reopened = m_entry.leave(m_savedSettings);
        m_session.link().setBootLoaderActive(false);
        if (!reopened)
            return m_session.fail(kPortFailure, QStringLiteral("%1: the port did not reopen after the boot loader: %2")
                                                    .arg(m_session.device(), m_session.port().errorString()));
        return kDone;
    }

    // Before the first change to the instrument an interrupt is honoured: the application is
    // started again and the interrupt's status returned. kDone when none arrived.
    int stopIfInterrupted()
    {
        if (!InterruptGuard::requested())
            return kDone;
        const int left = leave();
        m_session.console().error(QStringLiteral("%1: interrupted before anything was changed; the application runs again")
                                      .arg(m_session.device()));
        return left != kDone ? left : InterruptGuard::exitStatus();
    }
    // After the work: the interrupt that arrived meanwhile, or status.
    static int withInterrupt(int status) { return status == kDone ? InterruptGuard::exitStatus() : status; }

private:
    Session& m_session;
    InterruptGuard m_guard{"\nquarvel-cli: interrupted: stopping where the instrument is whole (before any change, or "
                           "once the work is done and the application runs again)\n"};
    ProgrammingModeEntry m_entry;
    Identification m_id;
    QString m_savedSettings;
    bool m_left = false;
};

// One past the highest data byte of the image: the length progress is measured against.
qint64 imageEnd(const HexRecords& records)
{
    qint64 end = 0;
    for (const HexRecord& r : records) {
        if (r.recordType == HexRecord::kData)
            end = std::max<qint64>(end, r.address + std::min<qint64>(r.byteCount, r.data.size()));
    }
    return end;
}

// Reads the application area into an Intel HEX file at path: kDone, or the status after saying why not.
int readFlashInto(Session& session, BootLoaderLink& link, const QString& path)
{
    Progress progress(session.console(), QStringLiteral("Reading"), kApplicationBytes);
    const FlashReader::Result result = FlashReader(link).read([&](int address) { progress.update(address + 2); });
    progress.finish();
    if (!result.completed)
        return session.fail(kPortFailure, session.device() + QStringLiteral(": ") + result.error);
    if (const QString error = saveIntelHex(path, result.bytes); !error.isEmpty())
        return session.fail(kBadInput, error);
    session.console().info(flashSavedMessage(static_cast<int>(result.bytes.size()), path));
    return kDone;
}

} // namespace

int runReadFlash(Session& session, const Arguments& arguments)
{
    const QString path = arguments.options.value(QStringLiteral("-o"));
    if (!arguments.operands.isEmpty() || path.isEmpty())
        return session.fail(kBadInput, QStringLiteral("read-flash needs -o FILE.hex and no operand"));
    if (const QString problem = outputFileProblem(path); !problem.isEmpty())
        return session.fail(kBadInput, problem);
    if (const int status = session.connect(); status != kDone)
        return status;
    LoaderSession loader(session);
    if (const int status = loader.status(); status != kDone)
        return status;
    BootLoaderLink link(session.port());
    if (const int status = loader.stopIfInterrupted(); status != kDone)
        return status;
    const int read = readFlashInto(session, link, path);
    const int left = loader.leave();
    return LoaderSession::withInterrupt(read != kDone ? read : left);
}

int runFlash(Session& session, const Arguments& arguments)
{
    const bool verifyOnly = arguments.options.contains(QStringLiteral("--verify-only"));
    const bool erase = !verifyOnly && !arguments.options.contains(QStringLiteral("--no-erase"));
    const bool verify = !arguments.options.contains(QStringLiteral("--no-verify"));
    if (arguments.operands.size() != 1)
        return session.fail(kBadInput, QStringLiteral("flash needs one FILE.hex"));
    if (verifyOnly && !verify)
        return session.fail(kBadInput, QStringLiteral("--verify-only and --no-verify leave nothing to do"));
    if (verifyOnly && arguments.options.contains(QStringLiteral("--no-erase")))
        return session.fail(kBadInput, QStringLiteral("--verify-only never erases: --no-erase does not apply"));
    const QString path = arguments.operands.first();
    const QString backupPath = arguments.options.value(QStringLiteral("--backup"));
    if (!backupPath.isEmpty()) {
        if (const QString problem = outputFileProblem(backupPath); !problem.isEmpty())
            return session.fail(kBadInput, QStringLiteral("--backup ") + problem);
    }
    const CheckedImage image = loadCheckedImage(path, !verifyOnly);
    if (!image.error.isEmpty())
        return session.fail(kBadInput, path + QStringLiteral(": ") + image.error);
    const qint64 end = imageEnd(image.records);
    if (end == 0)
        return session.fail(kBadInput, path + QStringLiteral(": ") + kNothingToVerifyMessage);

    if (const int status = session.connect(); status != kDone)
        return status;
    LoaderSession loader(session);
    if (const int status = loader.status(); status != kDone)
        return status;
    BootLoaderLink link(session.port());
    Console& console = session.console();
    if (!backupPath.isEmpty()) { // a copy of what is about to be replaced
        if (const int status = readFlashInto(session, link, backupPath); status != kDone)
            return status;
    }
    if (const int status = loader.stopIfInterrupted(); status != kDone)
        return status;
    if (erase) {
        console.info(QStringLiteral("Erasing the application area"));
        if (!link.erase())
            return session.fail(kPortFailure, session.device() + QStringLiteral(": ") + link.failureMessage());
    }
    if (!verifyOnly) {
        Progress progress(console, QStringLiteral("Programming"), end);
        const auto result = FlashWriter(link).program(image.records, [&](int pageAddress) {
            progress.update(pageAddress);
        });
        if (!result.completed)
            return session.fail(kPortFailure, QStringLiteral("%1: %2 %3").arg(session.device(), result.error,
                                                                             kIncompleteApplicationMessage));
        progress.update(end);
    }
    if (verify) {
        Progress progress(console, QStringLiteral("Verifying"), end);
        const auto result = FlashVerifier(link, session.prompter()).verify(image.records, [&](qint64 address) {
            progress.update(address + 2);
        });
        progress.finish();
        if (result.outcome == FlashVerifier::Outcome::Failed)
            return session.fail(kPortFailure, session.device() + QStringLiteral(": ") + result.error);
        if (result.outcome == FlashVerifier::Outcome::StoppedByUser)
            return session.fail(kRefused, QStringLiteral("%1: the flash differs from %2: %3")
                                              .arg(session.device(), path,
                                                   session.prompter().takeMessages().value(0).remove(QStringLiteral(" continue?")).trimmed()));
        console.info(QStringLiteral("Verified %1 bytes: the flash equals %2").arg(result.bytesCompared).arg(path));
    }
    if (const int status = loader.leave(); status != kDone)
        return status;
    console.info(QStringLiteral("The application was started"));
    return LoaderSession::withInterrupt(kDone);
}

int runFuses(Session& session, const Arguments& arguments)
{
    if (!arguments.operands.isEmpty())
        return session.fail(kBadInput, QStringLiteral("fuses takes no operand"));
    std::optional<quint8> fuse;
    std::optional<quint8> lock;
    for (const auto& [option, what, target] : {std::tuple{QStringLiteral("--fuse"), QStringLiteral("fuse bits"), &fuse},
                                               std::tuple{QStringLiteral("--lock"), QStringLiteral("lock bits"), &lock}}) {
        if (!arguments.options.contains(option))
            continue;
        const BitsText bits = parseBitsText(arguments.options.value(option), what);
        if (!bits.value)
            return session.fail(kBadInput, option + QStringLiteral(": ") + bits.error);
        *target = bits.value;
    }
    const bool force = arguments.options.contains(QStringLiteral("--force"));
    if (lock && locksLoaderOut(*lock) && !force)
        return session.fail(kBadInput, QStringLiteral("--lock %1: %2 Add --force to write them; nothing was written")
                                           .arg(hexByte(*lock), loaderLockoutWarning()));
    if (const int status = session.connect(); status != kDone)
        return status;
    LoaderSession loader(session);
    if (const int status = loader.status(); status != kDone)
        return status;
    const std::optional<QString> fuseNow = loader.identification().fuseBits;
    if (fuse && !force && fuseNow != hexByte(*fuse))
        return session.fail(kBadInput, QStringLiteral("--fuse %1: %2 Add --force to write them; nothing was written")
                                           .arg(hexByte(*fuse),
                                                bitsWriteQuestion(true, fuseNow ? parseBitsText(*fuseNow, {}).value
                                                                                : std::nullopt,
                                                                  *fuse)));
    BootLoaderLink link(session.port());
    if (const int status = loader.stopIfInterrupted(); status != kDone)
        return status;
    if ((fuse && !link.writeFuseBits(*fuse)) || (lock && !link.writeLockBits(*lock)))
        return session.fail(kPortFailure, session.device() + QStringLiteral(": ") + link.failureMessage());
    const std::optional<QString> fuseRead = fuse || lock ? loader.entry().fuseBits() : loader.identification().fuseBits;
    const std::optional<QString> lockRead = fuse || lock ? loader.entry().lockBits() : loader.identification().lockBits;
    if (!fuseRead || !lockRead)
        return session.fail(kPortFailure,
                            QStringLiteral("%1: the boot loader did not tell its fuse and lock bits").arg(session.device()));
    session.console().result(QStringLiteral("fuse=") + *fuseRead);
    session.console().result(QStringLiteral("lock=") + *lockRead);
    int status = kDone;
    if (fuse && *fuseRead != hexByte(*fuse))
        status = session.fail(kRefused, QStringLiteral("%1: fuse bits %2 were written but %3 read back")
                                            .arg(session.device(), hexByte(*fuse), *fuseRead));
    if (lock && *lockRead != hexByte(*lock))
        status = session.fail(kRefused, QStringLiteral("%1: lock bits %2 were written but %3 read back")
                                            .arg(session.device(), hexByte(*lock), *lockRead));
    const int left = loader.leave();
    return LoaderSession::withInterrupt(status != kDone ? status : left);
}

} // namespace quarvel::cli
