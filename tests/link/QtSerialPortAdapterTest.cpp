// The adapter against the virtual instrument program on a pseudo-terminal, reached as port 1
// through the com1 link in the configuration folder. Its ordinary use, and a device that
// cannot be opened, are in the end-to-end tests.
#include "link/QtSerialPortAdapter.h"
#include "support/SimProcess.h"

#include <QDeadlineTimer>
#include <QtTest>

using namespace quarvel;
using quarvel::test::SimProcess;

class QtSerialPortAdapterTest : public QObject {
    Q_OBJECT
private slots:
    void vanishingInstrument_closesThePort_data();
    void vanishingInstrument_closesThePort();
};

void QtSerialPortAdapterTest::vanishingInstrument_closesThePort_data()
{
    QTest::addColumn<bool>("eventLoop");
    QTest::newRow("during a blocking wait") << false; // as the boot-loader link waits
    QTest::newRow("in the event loop") << true;       // as the command channel waits
}

void QtSerialPortAdapterTest::vanishingInstrument_closesThePort()
{
    QFETCH(bool, eventLoop);
    SimProcess sim({QStringLiteral("--vanish-after"), QStringLiteral("1")});
    QVERIFY2(sim.started(), qPrintable(sim.error()));
    QtSerialPortAdapter port(sim.configFolder());
    QVERIFY2(port.open(), qPrintable(port.errorString()));
    port.write("1DID\r");
    if (eventLoop) {
        QTRY_VERIFY_WITH_TIMEOUT(!port.isOpen(), 10000);
    } else {
        QDeadlineTimer deadline(10000);
        while (port.isOpen() && !deadline.hasExpired()) {
            port.waitForBytes(200);
            port.readAll();
        }
    }
    QVERIFY2(!port.isOpen(), "the port stayed open after the device vanished");
    QVERIFY2(port.errorString().startsWith(QStringLiteral("The connection to")), qPrintable(port.errorString()));
    // A closed port answers at once and quietly, and keeps the reason it closed.
    port.close();
    port.write("1DID\r");
    QVERIFY(!port.waitForBytes(2000));
    QCOMPARE(port.readAll(), QByteArray());
    QCOMPARE(port.bytesToWrite(), 0);
    QVERIFY(port.errorString().startsWith(QStringLiteral("The connection to")));
}

QTEST_GUILESS_MAIN(QtSerialPortAdapterTest)
#include "QtSerialPortAdapterTest.moc"
