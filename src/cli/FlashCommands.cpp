// flash, read-flash and fuses: the work in the boot loader, entered and left through the session
// the window uses.
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Interrupt.h"
#include "cli/OutputFile.h"
#include "cli/Session.h"
#include "link/PortSettings.h"
#include "programmer/BitsChange.h"
#include "programmer/BootLoaderLink.h"
#include "programmer/BootLoaderSession.h"
#include "programmer/FlashPage.h"
#include "programmer/FlashReader.h"
#include "programmer/FlashVerifier.h"
#include "programmer/FlashWriter.h"
#include "programmer/HexImageFile.h"
#include "programmer/ImageCheck.h"
#include "programmer/ProgrammerTexts.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <functional>
#include <optional>

#include <sys/stat.h>

namespace quarvel::cli {

namespace {

// How the boot loader is reached: told to start by the application, or found already running.
enum class Entry { Enter, AlreadyRunning };

// kDone when the loader answered on entry, else reports why not.
int loaderStatus(Session& session, const Identification& id, Entry entry)
{
    if (!id.error.isEmpty())
        return session.fail(kPortFailure, session.device() + QStringLiteral(": ") + id.error);
    if (!id.programmer && entry == Entry::AlreadyRunning)
        return session.fail(kNotFound, QStringLiteral("%1: no Quarvel answered, and no boot loader answered at %2")
                                           .arg(session.device(), kBootLoaderPortSettings));
    if (!id.programmer)
        return session.fail(kPortFailure,
                            QStringLiteral("%1: the boot loader did not answer after \"1pgm\"").arg(session.device()));
    return kDone;
}

// The work done in the boot loader. It may ask the loader to keep running (keepLoader), where
// starting the application would start a half-written one.
struct LoaderWork {
    BootLoaderSession& loader;
    const Identification& id;
    Entry entry;
    bool keepLoader = false;

    // Before the first change to the instrument an interrupt is honoured: the work stops there.
    // The loader is left as usual, unless it was found running (the application may be half
    // written). kDone when no interrupt arrived.
    int stopIfInterrupted(Session& session)
    {
        if (!InterruptGuard::requested())
            return kDone;
        keepLoader = entry == Entry::AlreadyRunning;
        const QString next = keepLoader ? QStringLiteral("the boot loader keeps running")
                                        : QStringLiteral("the application is started again");
        session.console().error(
            QStringLiteral("%1: interrupted before anything was changed; %2").arg(session.device(), next));
        return InterruptGuard::exitStatus();
    }
};

// Enters the boot loader (or takes over one that is already running), runs work in it when the
// loader answered, and leaves it again unless work asked to keep it, so a command never ends with
// the instrument in its loader by chance. Ctrl+C, a hang-up and SIGTERM only mark an interrupt
// meanwhile: the status of work (or of leaving), or the interrupt's when both went well.
int inBootLoader(Session& session, const std::function<int(LoaderWork&)>& work, Entry entry = Entry::Enter)
{
    const InterruptGuard guard("\nquarvel-cli: interrupted: stopping where the instrument is whole (before any change, "
                               "or once the work is done)\n");
    session.console().info(entry == Entry::Enter ? QStringLiteral("Starting the boot loader")
                                                 : QStringLiteral("Taking over the running boot loader"));
    BootLoaderSession loader(session.port(), session.link());
    loader.useNoteIn(session.configFolder());
    const Identification id = entry == Entry::Enter ? loader.enter() : loader.findRunning();
    int status = loaderStatus(session, id, entry);
    LoaderWork context{loader, id, entry};
    if (status == kDone)
        status = work(context);
    if (context.keepLoader)
        return status;
    if (!loader.leave()) {
        const int left = session.fail(kPortFailure, QStringLiteral("%1: the port did not reopen after the boot loader: %2")
                                                        .arg(session.device(), session.port().errorString()));
        if (status == kDone)
            status = left;
    }
    return status == kDone ? InterruptGuard::exitStatus() : status;
}

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

// Reads the application area into an Intel HEX file at path: kDone, or the status after saying why not
// (a file that cannot be written: what was read, then notSaved, what that means for the command, which
// ends with notSavedStatus).
int readFlashInto(Session& session, BootLoaderLink& link, const QString& path, const QString& notSaved = {},
                  int notSavedStatus = kOutputNotWritten)
{
    Progress progress(session.console(), QStringLiteral("Reading"), kApplicationBytes);
    const FlashReader::Result result = FlashReader(link).read([&](int address) { progress.update(address + 2); });
    progress.finish();
    if (!result.completed)
        return session.fail(kPortFailure, session.device() + QStringLiteral(": ") + result.error);
    if (const QString error = saveIntelHex(path, result.bytes); !error.isEmpty())
        return session.fail(notSavedStatus, QStringLiteral("%1: the application was read (%2 bytes) but is not "
                                                          "saved: %3%4")
                                                   .arg(session.device())
                                                   .arg(result.bytes.size())
                                                   .arg(error, notSaved));
    session.console().info(flashSavedMessage(static_cast<int>(result.bytes.size()), path));
    return kDone;
}

// Where the flash may not hold the application that was verified (a failed erase, program or
// verify, or a loader found running), starting it could leave nothing that answers: the loader
// keeps running instead, and the messages say why and how to finish.
int keepLoader(Session& session, LoaderWork& work, int status, const QString& reason)
{
    work.keepLoader = true;
    session.fail(status, session.device() + QStringLiteral(": ") + reason);
    return session.fail(status, session.device() + QStringLiteral(": ") + kUnverifiedApplicationMessage);
}

// Finds the instrument for flash: its application, or else a boot loader that is already running.
// When --port auto found no single instrument, nothing is looked for.
int connectForFlash(Session& session, Entry& entry)
{
    entry = Entry::Enter;
    const int status = session.connect(nullptr, Session::NotFound::Quiet);
    // No port chosen or none appeared: there is nothing to look for a loader on.
    if (status != kNotFound || session.noPortChosen() || session.waitedInVain())
        return status;
    if (!session.notedLoaderAnswered())
        session.console().info(QStringLiteral("No application answered; looking for a running boot loader at %1")
                                   .arg(kBootLoaderPortSettings));
    entry = Entry::AlreadyRunning;
    return kDone;
}

// True when both paths name the same file (the same path, a link to it, or a hard link).
bool sameFile(const QString& a, const QString& b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    if (!canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath())
        return true;
    struct stat first {};
    struct stat second {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 && ::stat(QFile::encodeName(b).constData(), &second) == 0
        && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace

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
        if (sameFile(backupPath, path))
            return session.fail(kBadInput, QStringLiteral("--backup %1 is the image %2: the copy would replace it; "
                                                          "nothing was sent").arg(backupPath, path));
    }
    const CheckedImage image = loadCheckedImage(path, !verifyOnly);
    if (!image.error.isEmpty())
        return session.fail(kBadInput, path + QStringLiteral(": ") + image.error);
    const qint64 end = imageEnd(image.records);
    if (end == 0)
        return session.fail(kBadInput, path + QStringLiteral(": ") + kNothingToVerifyMessage);

    Entry entry = Entry::Enter;
    if (const int status = connectForFlash(session, entry); status != kDone)
        return status;
    Console& console = session.console();
    const int status = inBootLoader(session, [&](LoaderWork& work) {
        BootLoaderLink link(session.port());
        // A loader found running holds what a failed flash left: never the copy of the old firmware
        // that an earlier run kept.
        if (!backupPath.isEmpty() && entry == Entry::AlreadyRunning && QFileInfo::exists(backupPath)) {
            console.info(QStringLiteral("Keeping the backup %1: the boot loader was found running, so the flash "
                                        "may no longer hold the firmware it was made from").arg(backupPath));
        } else if (!backupPath.isEmpty()) { // a copy of what is about to be replaced, whole before the erase
            if (const int status = readFlashInto(session, link, backupPath,
                                                 QStringLiteral("; nothing was erased or programmed"), kBadInput);
                status != kDone) {
                if (entry == Entry::AlreadyRunning)
                    work.keepLoader = true;
                return status;
            }
        }
        if (const int status = work.stopIfInterrupted(session); status != kDone)
            return status;
        if (erase) {
            console.info(QStringLiteral("Erasing the application area"));
            if (!link.erase())
                return keepLoader(session, work, kPortFailure, link.failureMessage());
        }
        if (!verifyOnly) {
            Progress progress(console, QStringLiteral("Programming"), end);
            const auto result = FlashWriter(link).program(image.records, [&](int pageAddress) {
                progress.update(pageAddress);
            });
            if (!result.completed)
                return keepLoader(session, work, kPortFailure, result.error);
            progress.update(end);
        }
        if (verify) {
            Progress progress(console, QStringLiteral("Verifying"), end);
            // Nobody answers on the command line: the first difference ends the verify.
            const auto result = FlashVerifier(link).verify(
                image.records, [](const FlashMismatch&) { return false; },
                [&](qint64 address) { progress.update(address + 2); });
            progress.finish();
            // Also with --verify-only: a flash that differs from the image is not known to hold a
            // working application, so the loader keeps running rather than start it.
            const auto failed = [&](int status, const QString& reason) {
                return keepLoader(session, work, status, reason);
            };
            if (result.outcome == FlashVerifier::Outcome::Failed)
                return failed(kPortFailure, result.error);
            if (result.firstMismatch)
                return failed(kRefused, QStringLiteral("the flash differs from %1: %2")
                                            .arg(path, mismatchText(*result.firstMismatch)));
            console.info(QStringLiteral("Verified %1 bytes: the flash equals %2").arg(result.bytesCompared).arg(path));
        }
        return int(kDone);
    }, entry);
    if (status == kDone)
        console.info(QStringLiteral("The application was started"));
    return status;
}

int runReadFlash(Session& session, const Arguments& arguments)
{
    const QString path = arguments.options.value(QStringLiteral("-o"));
    if (!arguments.operands.isEmpty() || path.isEmpty())
        return session.fail(kBadInput, QStringLiteral("read-flash needs -o FILE.hex and no operand"));
    if (const QString problem = outputFileProblem(path); !problem.isEmpty())
        return session.fail(kBadInput, problem);
    if (const int status = session.connect(); status != kDone)
        return status;
    return inBootLoader(session, [&](LoaderWork&) {
        BootLoaderLink link(session.port());
        return readFlashInto(session, link, path);
    });
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
    // A lock-out needs its own consent: --force, given for fuse bits, does not let it through.
    const bool force = arguments.options.contains(QStringLiteral("--force"));
    if (lock && locksLoaderOut(*lock) && !arguments.options.contains(QStringLiteral("--allow-loader-lockout")))
        return session.fail(kBadInput,
                            QStringLiteral("--lock %1: %2 Add --allow-loader-lockout to write them; nothing was written")
                                .arg(hexByte(*lock), loaderLockoutWarning()));
    if (const int status = session.connect(); status != kDone)
        return status;
    return inBootLoader(session, [&](LoaderWork& work) {
        if (fuse && !force && work.id.fuseBits != hexByte(*fuse)) {
            const auto now = work.id.fuseBits ? parseBitsText(*work.id.fuseBits, {}).value : std::nullopt;
            return session.fail(kBadInput,
                                QStringLiteral("--fuse %1: %2 Add --force to write them; nothing was written")
                                    .arg(hexByte(*fuse), bitsWriteQuestion(true, now, *fuse)));
        }
        if (const int status = work.stopIfInterrupted(session); status != kDone)
            return status;
        BootLoaderLink link(session.port());
        if ((fuse && !link.writeFuseBits(*fuse)) || (lock && !link.writeLockBits(*lock)))
            return session.fail(kPortFailure, session.device() + QStringLiteral(": ") + link.failureMessage());
        const std::optional<QString> fuseRead = fuse || lock ? work.loader.fuseBits() : work.id.fuseBits;
        const std::optional<QString> lockRead = fuse || lock ? work.loader.lockBits() : work.id.lockBits;
        if (!fuseRead || !lockRead)
            return session.fail(kPortFailure, QStringLiteral("%1: the boot loader did not tell its fuse and lock bits")
                                                  .arg(session.device()));
        session.console().result(QStringLiteral("fuse=") + *fuseRead);
        session.console().result(QStringLiteral("lock=") + *lockRead);
        int status = kDone;
        if (fuse && *fuseRead != hexByte(*fuse))
            status = session.fail(kRefused, session.device() + QStringLiteral(": ")
                                                + bitsReadBackDifference(true, *fuse, *fuseRead));
        if (lock && *lockRead != hexByte(*lock))
            status = session.fail(kRefused, session.device() + QStringLiteral(": ")
                                                + bitsReadBackDifference(false, *lock, *lockRead));
        return status;
    });
}

} // namespace quarvel::cli
