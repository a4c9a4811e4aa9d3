// The list of ports: the numbers com<N> links give to devices, and a number made for a device.
#include "link/PortCatalog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace quarvel;

class PortCatalogTest : public QObject {
    Q_OBJECT
private slots:
    void links_numberTheirDevices_andAnUnnumberedDeviceGetsTheLowestFreeNumber();
};

void PortCatalogTest::links_numberTheirDevices_andAnUnnumberedDeviceGetsTheLowestFreeNumber()
{
    if (QFileInfo::exists(QStringLiteral("/dev/ttyUSB0")) || QFileInfo::exists(QStringLiteral("/dev/ttyUSB1")))
        QSKIP("this system's adapters hold the numbers the links are tested with");
    QTemporaryDir dir;
    const QDir folder(dir.path());
    const QString first = folder.filePath(QStringLiteral("ttyFirst"));
    const QString second = folder.filePath(QStringLiteral("ttySecond"));
    for (const QString& device : {first, second}) {
        QFile file(device);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    for (const auto& [name, target] : {std::pair{"com7", first}, std::pair{"com3", first}, std::pair{"com300", second},
                                        std::pair{"comX", second}, std::pair{"com4", folder.filePath("gone")}})
        QVERIFY(QFile::link(target, folder.filePath(QString::fromLatin1(name))));

    QList<PortInfo> ports = PortCatalog::list(dir.path());
    const PortInfo numbered = PortCatalog::find(ports, 3);
    QCOMPARE(numbered.device, QFileInfo(first).canonicalFilePath());
    QCOMPARE(numbered.linkName, QStringLiteral("com3")); // the lower of its two numbers
    QCOMPARE(PortCatalog::find(ports, 7).device, QString());
    QCOMPARE(PortCatalog::find(ports, 4).device, QString()); // nothing behind that link now
    QCOMPARE(PortCatalog::findRemembered(ports, QString(), numbered.device).portNumber, 3);

    // com300 is beyond the port numbers and comX no number at all: the device has none yet.
    QCOMPARE(PortCatalog::assignNumber(second, dir.path()), 1);
    QCOMPARE(PortCatalog::assignNumber(second, dir.path()), 2); // 1 is taken now
    ports = PortCatalog::list(dir.path());
    QCOMPARE(PortCatalog::find(ports, 1).device, QFileInfo(second).canonicalFilePath());
}

QTEST_GUILESS_MAIN(PortCatalogTest)
#include "PortCatalogTest.moc"
