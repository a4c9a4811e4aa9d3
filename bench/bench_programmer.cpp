// Programs and verifies a full application image through the real serial port code against the
// virtual boot loader on a pseudo-terminal, and compares the time taken with the line's floor;
// then times "quarvel-cli flash" of the same image against the same loader the same way.
#include "link/ForwardingPort.h"
#include "link/Prompter.h"
#include "link/QtSerialPortAdapter.h"
#include "link/SerialLink.h"
#include "programmer/BootLoaderLink.h"
#include "programmer/BootLoaderSession.h"
#include "programmer/FlashPage.h"
#include "programmer/FlashVerifier.h"
#include "programmer/FlashWriter.h"
#include "programmer/HexFile.h"
#include "programmer/ProgrammerTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

using namespace quarvel;

namespace {

constexpr double kTurnaroundMs = 0;
constexpr double kPageWriteMs = 4;
constexpr int kLoaderBaud = 19200;

// Counts what the loader sent, as the program reads it.
class CountingPort : public ForwardingPort {
public:
    using ForwardingPort::ForwardingPort;
    qint64 received = 0;

    QByteArray readAll() override
    {
        QByteArray bytes = ForwardingPort::readAll();
        received += bytes.size();
        return bytes;
    }
};

// The command channel's user: nobody answers here, so everything said is printed.
class PrintingPrompter : public Prompter {
public:
    void inform(const QString& text) override { std::printf("message: %s\n", qPrintable(text)); }
    bool askYesNo(const QString& text) override
    {
        std::printf("question: %s\n", qPrintable(text));
        return true;
    }
    QString askText(const QString&) override { return {}; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
};

double cpuSeconds()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QByteArray fullImageText()
{
    QRandomGenerator random(42);
    QByteArray text;
    for (int a = 0; a < kApplicationBytes; a += 16) {
        QByteArray record;
        record.append(char(16)).append(char(a >> 8)).append(char(a & 0xFF)).append(char(0));
        for (int i = 0; i < 16; ++i)
            record.append(static_cast<char>(random.bounded(256)));
        int sum = 0;
        for (const char b : record)
            sum += static_cast<quint8>(b);
        record.append(static_cast<char>(-sum & 0xFF));
        text += ':' + record.toHex().toUpper() + "\r\n";
    }
    text += ":00000001FF\r\n";
    return text;
}

struct Figures {
    double wallS = 0;
    double cpuS = 0;
};

template <typename Run>
Figures measure(Run run)
{
    QElapsedTimer clock;
    const double cpu = cpuSeconds();
    clock.start();
    run();
    return {clock.nsecsElapsed() / 1e9, cpuSeconds() - cpu};
}

void report(const char* what, const Figures& f, double floorS)
{
    std::printf("%-8s wall %7.3f s   floor %7.3f s   ratio %.3f   cpu %6.3f s (%.1f %% of wall)\n", what, f.wallS,
                floorS, f.wallS / floorS, f.cpuS, 100.0 * f.cpuS / f.wallS);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString simPath = qEnvironmentVariable("QUARVEL_SIM");
    if (simPath.isEmpty())
        simPath = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../sim/quarvel-sim"));
    QTemporaryDir config;
    const QString link = QDir(config.path()).filePath(QStringLiteral("com1"));
    QProcess sim;
    sim.start(simPath, {QStringLiteral("--link"), link, QStringLiteral("--loader-turnaround"),
                        QString::number(kTurnaroundMs), QStringLiteral("--loader-page-write"),
                        QString::number(kPageWriteMs)});
    if (!sim.waitForReadyRead(5000) || !QFileInfo::exists(link)) {
        std::fprintf(stderr, "bench_programmer: cannot start %s\n", qPrintable(simPath));
        return 1;
    }

    QtSerialPortAdapter adapter(config.path());
    adapter.setPortNumber(1);
    CountingPort port(adapter);
    if (!port.open()) {
        std::fprintf(stderr, "bench_programmer: %s\n", qPrintable(port.errorString()));
        return 1;
    }
    PrintingPrompter prompter;
    SerialLink channel(port, prompter);
    BootLoaderSession session(port, channel);
    if (!session.enter().programmer) {
        std::fprintf(stderr, "bench_programmer: the loader does not answer\n");
        return 1;
    }

    BootLoaderLink loader(port);
    int mismatches = 0;
    if (!loader.erase()) {
        std::fprintf(stderr, "bench_programmer: the loader does not answer\n");
        return 1;
    }
    const QByteArray imageText = fullImageText();
    const HexRecords image = hexRecordsFromBytes(imageText, HexLoadMode::StopAtInvalid).records;
    const double byteS = 10.0 / kLoaderBaud;

    port.received = 0;
    FlashWriter::Result written;
    const Figures program = measure([&] { written = FlashWriter(loader).program(image); });
    // Per page: A, 16 x (c, C), A, m answered; m also waits for the page write.
    const double programFloor = port.received * byteS
        + written.pagesWritten * (35 * kTurnaroundMs + kPageWriteMs) / 1000.0;
    const qint64 programBytes = port.received;

    port.received = 0;
    FlashVerifier::Result verified;
    const Figures verify = measure([&] {
        verified = FlashVerifier(loader).verify(image, [&](const FlashMismatch& mismatch) {
            ++mismatches;
            std::printf("mismatch: %s\n", qPrintable(mismatchText(mismatch)));
            return true;
        });
    });
    const int records = kApplicationBytes / 16;
    const double verifyFloor = port.received * byteS + (records + verified.wordsCompared) * kTurnaroundMs / 1000.0;

    std::printf("image %d bytes, %d pages written, %d words compared, %d mismatches\n", kApplicationBytes,
                written.pagesWritten, verified.wordsCompared, mismatches);
    std::printf("loader sent %lld bytes programming, %lld verifying, at %d baud; page write %.1f ms, turnaround "
                "%.2f ms\n",
                static_cast<long long>(programBytes), static_cast<long long>(port.received), kLoaderBaud,
                kPageWriteMs, kTurnaroundMs);
    report("program", program, programFloor);
    report("verify", verify, verifyFloor);
    bool ok = written.completed && verified.outcome == FlashVerifier::Outcome::Match;

    // The loader starts the application again; the command line finds it from there.
    if (!session.leave())
        std::fprintf(stderr, "bench_programmer: %s\n", qPrintable(port.errorString()));
    port.close();
    QString cliPath = qEnvironmentVariable("QUARVEL_CLI");
    if (cliPath.isEmpty())
        cliPath = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../src/cli/quarvel-cli"));
    const QString hexPath = QDir(config.path()).filePath(QStringLiteral("full.hex"));
    QFile hexFile(hexPath);
    ok = ok && hexFile.open(QIODevice::WriteOnly) && hexFile.write(imageText) == imageText.size();
    hexFile.close();
    QProcess cli;
    const Figures flash = measure([&] {
        cli.start(cliPath, {QStringLiteral("--config"), config.path(), QStringLiteral("--quiet"), QStringLiteral("flash"),
                            hexPath});
        cli.waitForFinished(300000);
    });
    // Its floor: the same loader bytes as above (erase, program and verify), plus the waits the
    // protocol fixes: one identify exchange at 9600 baud, the loader's start, its six identification
    // questions and five LED blinks, and the start of the application.
    const double waitsS = (6 * 10.0 / 9600 + 0.050) + 1.0 + 6 * 0.100 + 5 * (0.200 + 0.200) + 0.500;
    const double eraseS = 2 * byteS + 0.020;
    const double flashFloor = programFloor + verifyFloor + eraseS + waitsS;
    const bool cliOk = cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0;
    if (!cliOk)
        std::fprintf(stderr, "bench_programmer: quarvel-cli flash failed: %s%s\n", qPrintable(cli.errorString()),
                     cli.readAllStandardError().constData());
    std::printf("%-8s wall %7.3f s   floor %7.3f s   ratio %.3f\n", "cli", flash.wallS, flashFloor,
                flash.wallS / flashFloor);
    const double programRatio = program.wallS / programFloor;
    const double flashRatio = flash.wallS / flashFloor;
    std::printf("quarvel-cli flash (identify, loader entry, erase, program, verify, leave): ratio %.3f; window's "
                "programming ratio %.3f; difference %+.1f %% (goal within 5 %%)\n",
                flashRatio, programRatio, 100.0 * (flashRatio - programRatio) / programRatio);

    sim.terminate();
    sim.waitForFinished(3000);
    return ok && cliOk ? 0 : 1;
}
