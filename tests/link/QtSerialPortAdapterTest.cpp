#include "QtSerialPortAdapter.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace quarvel;

// The adapter against the virtual instrument on a pseudo-terminal, reached as port 1 through a
// com1 link in the configuration folder.
class QtSerialPortAdapterTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void identifiesThroughTheLink();
    void settingsChangeWhileOpen();
    void vanishingInstrumentClosesThePortDuringAWait();
    void vanishingInstrumentClosesThePortInTheEventLoop();
    void missingDeviceFailsToOpenWithItsName();

private:
    bool startSim(const QStringList& extra = {});
    QByteArray exchange(QtSerialPortAdapter& port, const QByteArray& line, const QByteArray& until);

    QTemporaryDir* m_dir = nullptr;
    QProcess* m_sim = nullptr;
};

void QtSerialPortAdapterTest::init()
{
    if (qEnvironmentVariableIsEmpty("QUARVEL_SIM"))
        QSKIP("QUARVEL_SIM does not name the virtual instrument program");
    m_dir = new QTemporaryDir;
    m_sim = new QProcess;
}

void QtSerialPortAdapterTest::cleanup()
{
    if (m_sim && m_sim->state() != QProcess::NotRunning) {
        m_sim->terminate();
        if (!m_sim->waitForFinished(5000))
            m_sim->kill();
        m_sim->waitForFinished(5000);
    }
    delete m_sim;
    m_sim = nullptr;
    delete m_dir;
    m_dir = nullptr;
}

bool QtSerialPortAdapterTest::startSim(const QStringList& extra)
{
    m_sim->start(qEnvironmentVariable("QUARVEL_SIM"),
                 QStringList{QStringLiteral("--link"), m_dir->filePath(QStringLiteral("com1"))} + extra);
    if (!m_sim->waitForStarted(10000))
        return false;
    // The device path on the first line means the pty and the link are ready.
    QDeadlineTimer deadline(10000);
    while (!m_sim->canReadLine() && !deadline.hasExpired()) {
        if (!m_sim->waitForReadyRead(int(deadline.remainingTime())))
            break;
    }
    const QString device = QString::fromLocal8Bit(m_sim->readLine()).trimmed();
    return device.startsWith(QLatin1Char('/'));
}

QByteArray QtSerialPortAdapterTest::exchange(QtSerialPortAdapter& port, const QByteArray& line, const QByteArray& until)
{
    port.readAll();
    port.write(line);
    QByteArray reply;
    QDeadlineTimer deadline(5000);
    while (!reply.contains(until) && !deadline.hasExpired()) {
        port.waitForBytes(int(qMax<qint64>(1, deadline.remainingTime())));
        reply += port.readAll();
        if (!port.isOpen())
            break;
    }
    return reply;
}

void QtSerialPortAdapterTest::identifiesThroughTheLink()
{
    QVERIFY(startSim());
    QtSerialPortAdapter port(m_dir->path());
    port.setPortNumber(1);
    QVERIFY(port.deviceName().startsWith(QStringLiteral("/dev/")));
    QVERIFY2(port.open(), qPrintable(port.errorString()));
    const QByteArray reply = exchange(port, "1DID\r", "\r\n");
    QVERIFY2(reply.startsWith("1DID\rQuarvel V"), reply.constData());
    // A second open of an open port changes nothing.
    QVERIFY(port.open());
    port.close();
    QVERIFY(!port.isOpen());
    QVERIFY(port.open());
    QVERIFY(exchange(port, "1DRA\r", "\r\n").startsWith("1DRA\r10\r\n"));
}

void QtSerialPortAdapterTest::settingsChangeWhileOpen()
{
    QVERIFY(startSim());
    QtSerialPortAdapter port(m_dir->path());
    QVERIFY2(port.open(), qPrintable(port.errorString()));
    QVERIFY(port.setSettings(QStringLiteral("19200,n,8,1")));
    QCOMPARE(port.settings(), QStringLiteral("19200,n,8,1"));
    QVERIFY(!port.setSettings(QStringLiteral("fast")));
    QCOMPARE(port.settings(), QStringLiteral("19200,n,8,1"));
    QVERIFY(port.isOpen());
    // A pty ignores the speed; the line still works after the change.
    QVERIFY(exchange(port, "1DID\r", "\r\n").contains("Quarvel V"));
}

void QtSerialPortAdapterTest::vanishingInstrumentClosesThePortDuringAWait()
{
    QVERIFY(startSim({QStringLiteral("--vanish-after"), QStringLiteral("1")}));
    QtSerialPortAdapter port(m_dir->path());
    QVERIFY2(port.open(), qPrintable(port.errorString()));
    port.write("1DID\r");
    // Blocking waits, as the boot-loader link makes them, without window events.
    QDeadlineTimer deadline(10000);
    while (port.isOpen() && !deadline.hasExpired()) {
        port.waitForBytes(200);
        port.readAll();
    }
    QVERIFY2(!port.isOpen(), "the port stayed open after the device vanished");
    QVERIFY2(port.errorString().startsWith(QStringLiteral("The connection to")), qPrintable(port.errorString()));
    // A closed port answers at once and quietly.
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!port.waitForBytes(2000));
    QVERIFY(clock.elapsed() < 1000);
    QCOMPARE(port.readAll(), QByteArray());
    QCOMPARE(port.bytesAvailable(), 0);
    port.write("1DID\r");
    QCOMPARE(port.bytesToWrite(), 0);
    QVERIFY(m_sim->waitForFinished(5000));
}

void QtSerialPortAdapterTest::vanishingInstrumentClosesThePortInTheEventLoop()
{
    QVERIFY(startSim({QStringLiteral("--vanish-after"), QStringLiteral("1")}));
    QtSerialPortAdapter port(m_dir->path());
    QVERIFY2(port.open(), qPrintable(port.errorString()));
    port.write("1DID\r");
    // Waits that pump events, as the command channel makes them.
    QTRY_VERIFY_WITH_TIMEOUT(!port.isOpen(), 10000);
    QVERIFY2(port.errorString().startsWith(QStringLiteral("The connection to")), qPrintable(port.errorString()));
    // Later uses of the closed port keep the reason it closed.
    port.close();
    port.write("1DID\r");
    QVERIFY(port.errorString().startsWith(QStringLiteral("The connection to")));
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->state(), QProcess::NotRunning, 5000);
    // Opening again fails: the device is gone.
    QVERIFY(!port.open());
    QVERIFY(!port.isOpen());
}

void QtSerialPortAdapterTest::missingDeviceFailsToOpenWithItsName()
{
    QtSerialPortAdapter port(m_dir->path());
    port.setPortNumber(250); // /dev/ttyUSB249 exists nowhere
    QVERIFY(!port.open());
    QVERIFY(!port.isOpen());
    QVERIFY2(port.errorString().contains(QStringLiteral("/dev/ttyUSB249")), qPrintable(port.errorString()));
}

QTEST_GUILESS_MAIN(QtSerialPortAdapterTest)
#include "QtSerialPortAdapterTest.moc"
