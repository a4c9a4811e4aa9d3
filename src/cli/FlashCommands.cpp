// flash and fuses: the work in the boot loader, entered and left through the session the window uses.
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Interrupt.h"
#include "cli/Session.h"
#include "programmer/BootLoaderLink.h"
#include "programmer/BootLoaderSession.h"
#include "programmer/FlashVerifier.h"
#include "programmer/FlashWriter.h"
#include "programmer/ImageCheck.h"
#include "programmer/ProgrammerTexts.h"

#include <algorithm>
#include <functional>
#include <optional>

namespace quarvel::cli {

namespace {

// kDone when the loader answered on entry, else reports why not.
int loaderStatus(Session& session, const Identification& id)
{
    if (!id.error.isEmpty())
        return session.fail(kPortFailure, session.device() + QStringLiteral(": ") + id.error);
    if (!id.programmer)
        return session.fail(kPortFailure,
                            QStringLiteral("%1: the boot loader did not answer after \"1pgm\"").arg(session.device()));
    return kDone;
}

// Enters the boot loader, runs work in it when the loader answered, and leaves it again whatever
// work returned, so a command never ends with the instrument in its loader (where the next command
// could not find it). The status of work, or of leaving when work succeeded.
int inBootLoader(Session& session, const std::function<int(BootLoaderSession&, const Identification&)>& work)
{
    const InterruptGuard guard("\nquarvel-cli: interrupted: the boot loader's work is finished first, so the "
                               "instrument is not left in it\n");
    BootLoaderSession loader(session.port(), session.link());
    const Identification id = loader.enter();
    int status = loaderStatus(session, id);
    if (status == kDone)
        status = work(loader, id);
    if (!loader.leave()) {
        const int left = session.fail(kPortFailure, QStringLiteral("%1: the port did not reopen after the boot loader: %2")
                                                        .arg(session.device(), session.port().errorString()));
        if (status == kDone)
            status = left;
    }
    return status;
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
    const CheckedImage image = loadCheckedImage(path, !verifyOnly);
    if (!image.error.isEmpty())
        return session.fail(kBadInput, path + QStringLiteral(": ") + image.error);
    const qint64 end = imageEnd(image.records);
    if (end == 0)
        return session.fail(kBadInput, path + QStringLiteral(": ") + kNothingToVerifyMessage);

    if (const int status = session.connect(); status != kDone)
        return status;
    Console& console = session.console();
    const int status = inBootLoader(session, [&](BootLoaderSession&, const Identification&) {
        BootLoaderLink link(session.port());
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
            // Nobody answers on the command line: the first difference ends the verify.
            const auto result = FlashVerifier(link).verify(
                image.records, [](const FlashMismatch&) { return false; },
                [&](qint64 address) { progress.update(address + 2); });
            progress.finish();
            if (result.outcome == FlashVerifier::Outcome::Failed)
                return session.fail(kPortFailure, session.device() + QStringLiteral(": ") + result.error);
            if (result.firstMismatch)
                return session.fail(kRefused, QStringLiteral("%1: the flash differs from %2: %3")
                                                  .arg(session.device(), path, mismatchText(*result.firstMismatch)));
            console.info(QStringLiteral("Verified %1 bytes: the flash equals %2").arg(result.bytesCompared).arg(path));
        }
        return int(kDone);
    });
    if (status == kDone)
        console.info(QStringLiteral("The application was started"));
    return status;
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
    if (const int status = session.connect(); status != kDone)
        return status;
    return inBootLoader(session, [&](BootLoaderSession& loader, const Identification& id) {
        BootLoaderLink link(session.port());
        if ((fuse && !link.writeFuseBits(*fuse)) || (lock && !link.writeLockBits(*lock)))
            return session.fail(kPortFailure, session.device() + QStringLiteral(": ") + link.failureMessage());
        const std::optional<QString> fuseRead = fuse || lock ? loader.fuseBits() : id.fuseBits;
        const std::optional<QString> lockRead = fuse || lock ? loader.lockBits() : id.lockBits;
        if (!fuseRead || !lockRead)
            return session.fail(kPortFailure, QStringLiteral("%1: the boot loader did not tell its fuse and lock bits")
                                                  .arg(session.device()));
        session.console().result(QStringLiteral("fuse=") + *fuseRead);
        session.console().result(QStringLiteral("lock=") + *lockRead);
        int status = kDone;
        if (fuse && *fuseRead != hexByte(*fuse))
            status = session.fail(kRefused, QStringLiteral("%1: fuse bits %2 were written but %3 read back")
                                                .arg(session.device(), hexByte(*fuse), *fuseRead));
        if (lock && *lockRead != hexByte(*lock))
            status = session.fail(kRefused, QStringLiteral("%1: lock bits %2 were written but %3 read back")
                                                .arg(session.device(), hexByte(*lock), *lockRead));
        return status;
    });
}

} // namespace quarvel::cli
