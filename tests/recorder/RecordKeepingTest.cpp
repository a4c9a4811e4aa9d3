// Records on disk as they are taken: the file written as it goes, and the records the window
// keeps until they are saved or discarded, across a killed process and between two windows.
#include "link/SerialLink.h"
#include "recorder/LiveAcquisition.h"
#include "recorder/LiveRecordWriter.h"
#include "recorder/RecordFileReader.h"
#include "recorder/RecordKeeper.h"
#include "support/FakeSerialPort.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quarvel;

namespace {

// An instrument that answers each "1RNV" with 7.5, 7.4, 7.3, ...
struct Rig {
    Rig()
    {
        port.open();
        port.setResponder([this](const QByteArray& line) {
            return line == "1RNV\r" ? line + QByteArray::number(7.5 - 0.1 * answered++) + "\r\n" : QByteArray();
        });
    }
    test::FakeSerialPort port;
    test::ScriptedPrompter prompter;
    SerialLink link{port, prompter};
    LiveAcquisition acquisition{link};
    int answered = 0;
};

ino_t inode(const QString& path)
{
    struct stat s {};
    return ::stat(QFile::encodeName(path).constData(), &s) == 0 ? s.st_ino : 0;
}

// The values a record file holds, a gap as -1.
QList<double> valuesIn(const QString& path)
{
    QList<double> values;
    for (const auto& v : RecordFileReader::load(path, {}, {}).values)
        values.append(v.value_or(-1));
    return values;
}

} // namespace

class RecordKeepingTest : public QObject {
    Q_OBJECT
private slots:
    void liveFile_isACompleteRecordAtEveryMoment();
    void keptRecord_survivesAKilledProcess();
    void keptRecords_belongToOneWindowUntilSavedOrDiscarded();
};

void RecordKeepingTest::liveFile_isACompleteRecordAtEveryMoment()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("live.csv");
    test::writeFile(path, "an older file");
    Rig r;
    LiveRecordWriter writer(r.acquisition, path, "pack 3");
    QCOMPARE(r.acquisition.start("30", "1"), QString()); // 2 points
    QCOMPARE(test::readFile(path), QByteArray("an older file")); // replaced only by the first sample

    r.acquisition.takeSample();
    RecordFileLoad load = RecordFileReader::load(path, {}, {});
    QVERIFY2(load.error.isEmpty(), qPrintable(load.error));
    QCOMPARE(load.comment, std::optional<QString>("pack 3"));
    QCOMPARE(valuesIn(path), QList<double>({7.5, -1}));

    r.acquisition.takeSample(); // doubles to 4 points first
    QCOMPARE(RecordFileReader::load(path, {}, {}).minutesText, std::optional<QString>("2"));
    QCOMPARE(valuesIn(path), QList<double>({7.5, 7.4, -1, -1}));
    const ino_t afterDoubling = inode(path);
    r.acquisition.takeSample(); // in place: the same file
    QCOMPARE(inode(path), afterDoubling);
    QCOMPARE(valuesIn(path), QList<double>({7.5, 7.4, 7.3, -1}));
    QCOMPARE(r.acquisition.pointsTaken(), 3);
}

void RecordKeepingTest::keptRecord_survivesAKilledProcess()
{
    QTemporaryDir dir;
    std::fflush(nullptr);
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) { // a window that takes three samples and is killed
        Rig r;
        RecordKeeper keeper(r.acquisition, dir.path());
        r.acquisition.start("1", "10");
        for (int i = 0; i < 3; ++i)
            r.acquisition.takeSample();
        ::raise(SIGKILL);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    Rig r;
    RecordKeeper keeper(r.acquisition, dir.path());
    const QList<RecordKeeper::Kept> left = keeper.claimLeftRecords();
    QCOMPARE(left.size(), 1);
    QCOMPARE(left[0].samples, 3);
    QVERIFY(qAbs(left[0].started.secsTo(QDateTime::currentDateTime())) < 3600);
    const RecordFileLoad load = keeper.restore(left[0].path);
    QCOMPARE(load.values.size(), size_t(600));
    QCOMPARE(load.values[2], std::optional<double>(7.3));
}

void RecordKeepingTest::keptRecords_belongToOneWindowUntilSavedOrDiscarded()
{
    QTemporaryDir dir;
    Rig a;
    Rig b;
    auto first = std::make_unique<RecordKeeper>(a.acquisition, dir.path());
    RecordKeeper second(b.acquisition, dir.path());
    a.acquisition.start("1", "10");
    a.acquisition.takeSample();
    QVERIFY(second.claimLeftRecords().isEmpty()); // the first window's, while it runs
    first.reset(); // that window closes without saving
    const QList<RecordKeeper::Kept> left = second.claimLeftRecords();
    QCOMPARE(left.size(), 1);
    RecordKeeper third(a.acquisition, dir.path());
    QVERIFY(third.claimLeftRecords().isEmpty()); // offered by the second window now
    QCOMPARE(second.discard(left[0].path), QString());

    QVERIFY(third.claimLeftRecords().isEmpty()); // discarded: nothing left to offer

    // A record saved while it is being taken stays kept; saved once it ended, it goes.
    a.acquisition.start("1", "10");
    a.acquisition.takeSample();
    third.recordSaved();
    QVERIFY(QFile::exists(third.currentPath()));
    a.acquisition.stop();
    third.recordSaved();
    QVERIFY(third.currentPath().isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

QTEST_GUILESS_MAIN(RecordKeepingTest)
#include "RecordKeepingTest.moc"
