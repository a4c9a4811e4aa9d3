#include "IniText.h"
#include "PortNumberText.h"
#include "PortSettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include "TestFiles.h"

#include <QtTest>

#include <unistd.h>

using namespace quarvel;
using quarvel::test::readFile;
using quarvel::test::writeFile;

class PortSettingsFileTest : public QObject {
    Q_OBJECT
private slots:
    void noFileGivesDefaults();
    void handWrittenFileReadsBack_data();
    void handWrittenFileReadsBack();
    void writeKeepsPortTextExactly_data();
    void writeKeepsPortTextExactly();
    void writeKeepsTheRestOfTheFile();
    void writeCreatesTheFolder();
    void unwritablePlaceIsReported();
    void unreadableFileGivesDefaultsAndAReason();
    void valueWithLineBreakIsRefused();
    void portNumberFromText_data();
    void portNumberFromText();
};

void PortSettingsFileTest::noFileGivesDefaults()
{
    QTemporaryDir dir;
    PortSettingsFile file(dir.path());
    const auto values = file.read();
    QCOMPARE(values.port, QStringLiteral("1"));
    QCOMPARE(values.baudRate, QStringLiteral("9600"));
    QVERIFY(file.errorString().isEmpty());
}

void PortSettingsFileTest::handWrittenFileReadsBack_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("baudRate");
    QTest::newRow("plain") << QByteArray("[Comm]\nPort=3\nBaudRate=57600\n") << "3" << "57600";
    QTest::newRow("CR LF, blanks around names and values")
        << QByteArray("[ Comm ]\r\n  Port =  4  \r\nBaudRate = 19200\r\n") << "4" << "19200";
    QTest::newRow("names in another case") << QByteArray("[COMM]\nport=5\nBAUDRATE=4800\n") << "5" << "4800";
    QTest::newRow("comma and blanks inside a value stay")
        << QByteArray("[Comm]\nPort=3, 4 x\nBaudRate=9600\n") << "3, 4 x" << "9600";
    QTest::newRow("quoted value") << QByteArray("[Comm]\nPort=\" 7 \"\n") << "7" << "9600";
    QTest::newRow("other sections and comments ignored")
        << QByteArray("; settings\n[Other]\nPort=9\n[Comm]\n# old: Port=8\nPort=2\n[Later]\nBaudRate=2400\n")
        << "2" << "9600";
    QTest::newRow("first entry counts") << QByteArray("[Comm]\nPort=2\nPort=6\n") << "2" << "9600";
    QTest::newRow("19 characters at most, then stripped")
        << QByteArray("[Comm]\nPort=123456789012345678 9XYZ\n") << "123456789012345678" << "9600";
    QTest::newRow("empty value is empty") << QByteArray("[Comm]\nPort=\nBaudRate=\n") << "" << "";
    QTest::newRow("unknown speed comes back as written")
        << QByteArray("[Comm]\nBaudRate=115200\n") << "1" << "115200";
    QTest::newRow("no final line break") << QByteArray("[Comm]\nPort=12") << "12" << "9600";
    QTest::newRow("backslashes and percent signs literal")
        << QByteArray("[Comm]\nPort=\\\\.\\COM%1\n") << "\\\\.\\COM%1" << "9600";
    QTest::newRow("Latin-1 file") << QByteArray("[Comm]\nPort=f\xfcnf\n") << QString::fromUtf8("f\u00fcnf") << "9600";
    QTest::newRow("binary junk") << QByteArray("\0\xff[\n=\n[Comm\nPort", 14) << "1" << "9600";
}

void PortSettingsFileTest::handWrittenFileReadsBack()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, port);
    QFETCH(QString, baudRate);
    QTemporaryDir dir;
    PortSettingsFile file(dir.path());
    writeFile(file.path(), text);
    const auto values = file.read();
    QCOMPARE(values.port, port);
    QCOMPARE(values.baudRate, baudRate);
}

void PortSettingsFileTest::writeKeepsPortTextExactly_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("number") << "3" << "3";
    QTest::newRow("blanks around") << "  3 " << "3";
    QTest::newRow("not a number") << "abc, def" << "abc, def";
    QTest::newRow("equals sign and brackets") << "=[x]=" << "=[x]=";
    QTest::newRow("empty") << "" << "";
}

void PortSettingsFileTest::writeKeepsPortTextExactly()
{
    QFETCH(QString, port);
    QFETCH(QString, readBack);
    QTemporaryDir dir;
    PortSettingsFile file(dir.path());
    QVERIFY2(file.write(port, QStringLiteral("57600")), qPrintable(file.errorString()));
    const QByteArray text = readFile(file.path());
    QVERIFY2(text.contains("\nPort=" + port.toUtf8() + "\n"), text.constData());
    QVERIFY2(text.startsWith("[Comm]\n"), text.constData());
    const auto values = file.read();
    QCOMPARE(values.port, readBack);
    QCOMPARE(values.baudRate, QStringLiteral("57600"));
}

void PortSettingsFileTest::writeKeepsTheRestOfTheFile()
{
    QTemporaryDir dir;
    PortSettingsFile file(dir.path());
    writeFile(file.path(), "; mine\r\n[Window]\r\nLeft=10\r\n\r\n[comm]\r\nport = 2\r\nExtra=yes\r\n\r\n[Tail]\r\nA=1\r\n");
    QVERIFY(file.write(QStringLiteral("4"), QStringLiteral("2400")));
    QCOMPARE(readFile(file.path()),
             QByteArray("; mine\r\n[Window]\r\nLeft=10\r\n\r\n[comm]\r\nPort=4\r\nExtra=yes\r\nBaudRate=2400\r\n"
                        "\r\n[Tail]\r\nA=1\r\n"));
    // Writing again changes the values in place.
    QVERIFY(file.write(QStringLiteral("5"), QStringLiteral("4800")));
    QCOMPARE(readFile(file.path()),
             QByteArray("; mine\r\n[Window]\r\nLeft=10\r\n\r\n[comm]\r\nPort=5\r\nExtra=yes\r\nBaudRate=4800\r\n"
                        "\r\n[Tail]\r\nA=1\r\n"));
}

void PortSettingsFileTest::writeCreatesTheFolder()
{
    QTemporaryDir dir;
    PortSettingsFile file(dir.filePath(QStringLiteral("a/Quarvel")));
    QVERIFY2(file.write(QStringLiteral("1"), QStringLiteral("9600")), qPrintable(file.errorString()));
    QCOMPARE(readFile(file.path()), QByteArray("[Comm]\nPort=1\nBaudRate=9600\n"));
}

void PortSettingsFileTest::unwritablePlaceIsReported()
{
    QTemporaryDir dir;
    // A file where the folder should be: the folder cannot be made.
    writeFile(dir.filePath(QStringLiteral("blocked")), "x");
    PortSettingsFile underFile(dir.filePath(QStringLiteral("blocked/Quarvel")));
    QVERIFY(!underFile.write(QStringLiteral("3"), QStringLiteral("9600")));
    QVERIFY2(underFile.errorString().contains(underFile.path()), qPrintable(underFile.errorString()));

    // A folder where the file should be.
    PortSettingsFile shadowed(dir.path());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Quarvel.ini")));
    QVERIFY(!shadowed.write(QStringLiteral("3"), QStringLiteral("9600")));
    QVERIFY(shadowed.errorString().startsWith(QStringLiteral("The port settings could not be saved to")));

    // A read-only folder (meaningless for the superuser, who may write anywhere).
    if (::geteuid() != 0) {
        QTemporaryDir locked;
        QVERIFY(QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        PortSettingsFile readOnly(locked.path());
        QVERIFY(!readOnly.write(QStringLiteral("3"), QStringLiteral("9600")));
        QVERIFY(!readOnly.errorString().isEmpty());
        QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}

void PortSettingsFileTest::unreadableFileGivesDefaultsAndAReason()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Quarvel.ini")));
    PortSettingsFile file(dir.path());
    const auto values = file.read();
    QCOMPARE(values.port, QStringLiteral("1"));
    QCOMPARE(values.baudRate, QStringLiteral("9600"));
    QVERIFY2(file.errorString().contains(QStringLiteral("cannot be read")), qPrintable(file.errorString()));
}

void PortSettingsFileTest::valueWithLineBreakIsRefused()
{
    QTemporaryDir dir;
    PortSettingsFile file(dir.path());
    QVERIFY(file.write(QStringLiteral("2"), QStringLiteral("9600")));
    QVERIFY(!file.write(QStringLiteral("3\n[Evil]"), QStringLiteral("9600")));
    QVERIFY(!file.errorString().isEmpty());
    QCOMPARE(file.read().port, QStringLiteral("2")); // the file is untouched
}

void PortSettingsFileTest::portNumberFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number"); // 0: none
    QTest::newRow("plain") << "3" << 3;
    QTest::newRow("blanks") << " 12 " << 12;
    QTest::newRow("largest") << "32767" << 32767;
    QTest::newRow("too large") << "32768" << 0;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("negative") << "-2" << 0;
    QTest::newRow("letters") << "COM3" << 0;
    QTest::newRow("fraction") << "2.5" << 0;
    QTest::newRow("empty") << "" << 0;
}

void PortSettingsFileTest::portNumberFromText()
{
    QFETCH(QString, text);
    QFETCH(int, number);
    QCOMPARE(quarvel::portNumberFromText(text).value_or(0), number);
}

QTEST_GUILESS_MAIN(PortSettingsFileTest)
#include "PortSettingsFileTest.moc"
