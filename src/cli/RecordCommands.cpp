// download and record: record files written by the window's writer.
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Interrupt.h"
#include "cli/OutputFile.h"
#include "cli/Session.h"
#include "link/CommandFraming.h"
#include "link/ConnectionWatcher.h"
#include "params/ParameterTable.h"
#include "recorder/LiveAcquisition.h"
#include "recorder/LiveRecordSettings.h"
#include "recorder/LiveRecordWriter.h"
#include "recorder/RecordDoubling.h"
#include "recorder/RecordFileContent.h"
#include "recorder/RecordFileWriter.h"
#include "recorder/RecordModel.h"
#include "recorder/SampleTimer.h"
#include "recorder/StoredRecordImport.h"

#include <QEventLoop>
#include <QTimer>

namespace quarvel::cli {

namespace {

// The record file named by -o and its comment, refused before anything is sent when the file
// cannot be written there or cannot hold the comment.
QString outputProblem(const Arguments& arguments)
{
    const QString path = arguments.options.value(QStringLiteral("-o"));
    if (path.isEmpty())
        return QStringLiteral("%1 needs -o FILE.csv").arg(arguments.command);
    if (const QString problem = RecordFileWriter::commentProblem(arguments.options.value(QStringLiteral("--comment")));
        !problem.isEmpty())
        return QStringLiteral("--comment: ") + problem;
    return outputFileProblem(path);
}

// The record as a file written at its end holds it (the same bytes as a record saved in the
// window). After samples were taken, a file that cannot be written is no input error: the
// samples were taken, and the message says where they are.
int saveRecord(Session& session, const QString& path, const QString& comment, const LiveAcquisition& acquisition,
               const LiveRecordWriter& writer)
{
    const QString error = RecordFileWriter::save(
        path, recordFileContent(acquisition.model(), acquisition.secondsText(), acquisition.minutesText(), comment));
    const int taken = acquisition.pointsTaken();
    if (error.isEmpty()) {
        session.console().info(QStringLiteral("%1 samples saved to %2").arg(taken).arg(path));
        return kDone;
    }
    if (taken == 0)
        return session.fail(kBadInput, path + QStringLiteral(": ") + error);
    const QString kept = writer.started() && writer.error().isEmpty()
        ? QStringLiteral(" The file holds the record as it was written while it was taken.")
        : QString();
    return session.fail(kOutputNotWritten, QStringLiteral("%1 samples were taken, but the record could not be saved. "
                                                          "%2%3").arg(taken).arg(error, kept));
}

} // namespace

int runDownload(Session& session, const Arguments& arguments)
{
    if (!arguments.operands.isEmpty())
        return session.fail(kBadInput, QStringLiteral("download takes no operand"));
    if (const QString problem = outputProblem(arguments); !problem.isEmpty())
        return session.fail(kBadInput, problem);
    if (const int status = session.connect(); status != kDone)
        return status;
    // The stored record is placed in time by the instrument's own "Record dwell time".
    SerialLink::Read dwell;
    if (const int status = session.readValue(parameterFields()[kRecordDwellTimeField].code, dwell); status != kDone)
        return status;
    session.console().info(QStringLiteral("Downloading the stored record"));
    const StoredRecordImport stored = StoredRecordImport::fetch(session.link(), dwell.value);
    if (const int status = session.portStatus(); status != kDone)
        return status;
    if (!stored.error.isEmpty())
        return session.fail(stored.unanswered ? kPortFailure : kRefused, session.device() + QStringLiteral(": ") + stored.error);
    RecordModel model;
    model.setupVoltageChart(stored.settings.seconds, stored.settings.minutes);
    model.clearVoltageChart();
    model.setValues(1, stored.values);
    if (!stored.warning.isEmpty())
        session.console().info(stored.warning);
    const QString path = arguments.options.value(QStringLiteral("-o"));
    const QString error = RecordFileWriter::save(
        path, recordFileContent(model, stored.secondsText, stored.minutesText,
                                arguments.options.value(QStringLiteral("--comment"))));
    if (!error.isEmpty())
        return session.fail(kOutputNotWritten,
                            QStringLiteral("the stored record was downloaded (%1 values) but is not saved: %2")
                                .arg(stored.values.size())
                                .arg(error));
    session.console().info(QStringLiteral("%1 values saved to %2").arg(stored.values.size()).arg(path));
    return kDone;
}

int runRecord(Session& session, const Arguments& arguments)
{
    if (!arguments.operands.isEmpty())
        return session.fail(kBadInput, QStringLiteral("record takes no operand"));
    const QString secondsText = arguments.options.value(QStringLiteral("--interval"));
    const QString minutesText = arguments.options.value(QStringLiteral("--minutes"));
    if (secondsText.isEmpty() || minutesText.isEmpty())
        return session.fail(kBadInput, QStringLiteral("record needs --interval S and --minutes M"));
    // Refused before the port opens: bad settings send nothing.
    RecordSettings settings;
    int intervalMs = 0;
    const QString problem =
        checkLiveRecordSettings(secondsText, minutesText, session.port().settings(), settings, intervalMs);
    if (!problem.isEmpty())
        return session.fail(kBadInput, problem);
    if (const QString output = outputProblem(arguments); !output.isEmpty())
        return session.fail(kBadInput, output);
    const QString timeoutText = arguments.options.value(QStringLiteral("--reconnect-timeout"), QStringLiteral("60"));
    bool ok = false;
    const double awaySeconds = timeoutText.toDouble(&ok);
    if (!ok || awaySeconds < 0 || awaySeconds > 24 * 3600)
        return session.fail(kBadInput, QStringLiteral("--reconnect-timeout %1: seconds from 0 to 86400").arg(timeoutText));
    const bool stopWhenFull = arguments.options.contains(QStringLiteral("--stop-when-full"));
    QString instrument; // its identification: only the same instrument is recorded after an unplug
    if (const int status = session.connect(&instrument); status != kDone)
        return status;

    LiveAcquisition acquisition(session.link());
    acquisition.setDoubling(!stopWhenFull);
    // First on the samples: a sample is in the file before it is printed.
    const QString path = arguments.options.value(QStringLiteral("-o"));
    LiveRecordWriter writer(acquisition, path, arguments.options.value(QStringLiteral("--comment")));
    QObject::connect(&writer, &LiveRecordWriter::failed, &writer, [&](const QString& message) {
        session.console().error(message + QStringLiteral(". Recording goes on; the file is written again at the end."));
    });
    QEventLoop loop;
    int status = kDone;
    // An unplug: the record goes on in time with gaps, the instrument is waited for.
    ConnectionWatcher watcher(session.port(), session.link());
    QTimer awayLimit;
    awayLimit.setSingleShot(true);
    QObject::connect(&watcher, &ConnectionWatcher::lost, &loop, [&] {
        acquisition.suspend();
        session.console().info(QStringLiteral("%1: the instrument is away; recording gaps, waiting up to %2 s for it")
                                   .arg(session.device(), timeoutText));
        awayLimit.start(static_cast<int>(awaySeconds * 1000));
    });
    QObject::connect(&watcher, &ConnectionWatcher::returned, &loop, [&](const QString& identification) {
        awayLimit.stop();
        session.console().info(QStringLiteral("%1: back (%2)").arg(session.device(), identification));
        acquisition.resume();
    });
    QObject::connect(&watcher, &ConnectionWatcher::otherInstrument, &loop, [&](const QString& other) {
        status = session.fail(kPortFailure, QStringLiteral("%1: another instrument answered (%2), not the one recorded "
                                                           "(%3); nothing is sent to it and the record ends")
                                                .arg(session.device(), other, instrument));
        acquisition.stop();
    });
    QObject::connect(&awayLimit, &QTimer::timeout, &loop, [&] {
        status = session.fail(kPortFailure, QStringLiteral("%1: the instrument has been away for more than %2 s")
                                                .arg(session.device(), timeoutText));
        acquisition.stop();
    });
    QObject::connect(&acquisition.timer(), &SampleTimer::sampleDue, &acquisition, &LiveAcquisition::takeSample);
    QObject::connect(&acquisition, &LiveAcquisition::sampled, &loop, [&](int point, std::optional<double> volts) {
        session.console().info(QStringLiteral("%1 %2 min %3").arg(point).arg(acquisition.model().label(point),
                                   volts ? QString::number(*volts) + QStringLiteral(" V") : QStringLiteral("no value")));
    });
    // The sample that found the port closed is a gap; the watcher takes it from there.
    QObject::connect(&acquisition, &LiveAcquisition::instrumentAway, &acquisition, &LiveAcquisition::suspend);
    QObject::connect(&acquisition, &LiveAcquisition::ended, &loop, [&](LiveAcquisition::State state) {
        if (state == LiveAcquisition::State::Full && stopWhenFull)
            session.console().info(QStringLiteral("The record's time is up"));
        else if (state == LiveAcquisition::State::Full)
            session.console().error(fullRecordMessage());
        loop.quit();
    });
    QTimer stopWatch; // a signal handler may only set a flag; this looks at it
    QObject::connect(&stopWatch, &QTimer::timeout, &loop, [&] {
        if (InterruptGuard::requested())
            acquisition.stop();
        // The record's time may run out while the instrument is away.
        else if (stopWhenFull && acquisition.state() == LiveAcquisition::State::Suspended
                 && acquisition.timer().ticksDue() >= acquisition.model().pointCount())
            acquisition.stop();
    });
    const InterruptGuard guard;
    if (const QString refused = acquisition.start(secondsText, minutesText); !refused.isEmpty())
        return session.fail(kBadInput, refused);
    stopWatch.start(50);
    watcher.watch(instrument);
    session.console().info(QStringLiteral("Recording every %1 s into %2; Ctrl+C stops and saves")
                               .arg(secondsText, arguments.options.value(QStringLiteral("-o"))));
    loop.exec();
    acquisition.stop();
    writer.finish();
    const int saved =
        saveRecord(session, path, arguments.options.value(QStringLiteral("--comment")), acquisition, writer);
    return status != kDone ? status : saved;
}

} // namespace quarvel::cli
