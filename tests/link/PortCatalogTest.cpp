// The list of ports: the numbers com<N> links and default devices give (the default devices in a
// folder of the test's), the number a device gets, and the identity that finds an adapter again.
#include "link/PortCatalog.h"
#include "link/PortLocator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace quarvel;

class PortCatalogTest : public QObject {
    Q_OBJECT
private slots:
    void links_numberTheirDevicesEvenWhenAbsent_andADeviceGetsOneFreeNumber();
    void identity_findsAnAdapterOnlyWhenNoOtherSharesIt();
};

void PortCatalogTest::links_numberTheirDevicesEvenWhenAbsent_andADeviceGetsOneFreeNumber()
{
    QTemporaryDir devices; // stands for /dev
    qputenv("QUARVEL_DEVICE_FOLDER", devices.path().toLocal8Bit());
    QTemporaryDir dir;
    const QDir folder(dir.path());
    const auto makeDevice = [](const QString& path) { return QFile(path).open(QIODevice::WriteOnly); };
    const QString first = folder.filePath(QStringLiteral("ttyFirst"));
    const QString second = folder.filePath(QStringLiteral("ttySecond"));
    const QString gone = folder.filePath(QStringLiteral("ttyGone"));
    for (const QString& device : {first, second, devices.filePath("ttyUSB0"), devices.filePath("ttyUSB3")})
        QVERIFY(makeDevice(device)); // the default devices of ports 1 and 4 are present
    for (const auto& [name, target] : {std::pair{"com7", first}, std::pair{"com3", first}, std::pair{"com300", second},
                                        std::pair{"comX", second}, std::pair{"com4", gone}})
        QVERIFY(QFile::link(target, folder.filePath(QString::fromLatin1(name))));

    const QList<PortInfo> ports = PortCatalog::list(dir.path());
    const PortInfo numbered = PortCatalog::find(ports, 3);
    QCOMPARE(numbered.device, QFileInfo(first).canonicalFilePath());
    QCOMPARE(numbered.linkName, QStringLiteral("com3")); // the lower of its two numbers
    QCOMPARE(PortCatalog::find(ports, 7).device, QString());
    QCOMPARE(PortCatalog::findRemembered(ports, QString(), numbered.device).portNumber, 3);
    // An unplugged adapter's link still names its device, not the default device of port 4.
    QCOMPARE(PortCatalog::find(ports, 4).device, QString());
    QCOMPARE(deviceForPort(4, dir.path()), gone);
    QCOMPARE(deviceForPort(5, dir.path()), devices.filePath("ttyUSB4")); // no entry

    // com300 is beyond the port numbers and comX no number at all; port 1 opens ttyUSB0 already.
    QCOMPARE(PortCatalog::assignNumber(second, dir.path()), 2);
    QCOMPARE(PortCatalog::assignNumber(second, dir.path()), 2); // one number per device
    QCOMPARE(PortCatalog::assignNumber(devices.filePath("ttyUSB0"), dir.path()), 1); // no link needed
    QCOMPARE(folder.entryList({QStringLiteral("com?")}, QDir::System | QDir::Files),
             (QStringList{"com2", "com3", "com4", "com7", "comX"})); // one link made
}

void PortCatalogTest::identity_findsAnAdapterOnlyWhenNoOtherSharesIt()
{
    const PortInfo ftdi{"/dev/ttyUSB0", {}, {}, "A1", "0403:6001", "/dev/serial/by-id/usb-FTDI_A1", {}, 1};
    const PortInfo noSerial{"/dev/ttyUSB1", {}, {}, {}, "1a86:7523", "/dev/serial/by-id/usb-1a86_Serial", {}, 2};
    PortInfo clone{"/dev/ttyUSB2", {}, {}, "A1", "0403:6001", "/dev/serial/by-id/usb-FTDI_A1-port0", {}, 3};
    QCOMPARE(PortCatalog::distinctIdentity({ftdi, noSerial}, ftdi.device), ftdi.identity);
    QCOMPARE(PortCatalog::distinctIdentity({ftdi, noSerial}, noSerial.device), QString());
    QCOMPARE(PortCatalog::distinctIdentity({ftdi, noSerial, clone}, ftdi.device), QString()); // same serial number
    QCOMPARE(PortCatalog::findByIdentity({noSerial, ftdi}, ftdi.identity).device, ftdi.device);
    clone.identity = ftdi.identity;
    QCOMPARE(PortCatalog::findByIdentity({ftdi, clone}, ftdi.identity).device, QString());
}

QTEST_GUILESS_MAIN(PortCatalogTest)
#include "PortCatalogTest.moc"
