#include "Eeprom.h"
#include "PtyServer.h"
#include "SimOptions.h"
#include "VirtualInstrument.h"

#include <QFile>
#include <QTemporaryDir>
#include "TestFiles.h"

#include <QtTest>

using namespace quarvel::sim;
using quarvel::test::writeFile;

namespace {

// Everything the instrument sends in answer to line, in order, with the gaps between.
std::vector<Chunk> send(VirtualInstrument& instrument, const QByteArray& line)
{
    instrument.receive(line);
    std::vector<Chunk> out;
    while (instrument.hasOutput())
        out.push_back(instrument.takeOutput());
    return out;
}

QByteArray joined(const std::vector<Chunk>& chunks)
{
    QByteArray bytes;
    for (const Chunk& c : chunks)
        bytes += c.bytes;
    return bytes;
}

QString value(VirtualInstrument& instrument, const QString& code)
{
    return instrument.application().value(code);
}

} // namespace

class EepromTest : public QObject {
    Q_OBJECT
private slots:
    void saveEchoesAtOnceAndAnswersLater();
    void loadBringsBackTheSavedValues();
    void factoryDefaultsReplaceTheWorkingSettingsOnly();
    void saveWithoutAnswerStillStores();
    void commandsWithArgumentsAreRejected();
    void fileKeepsTheCopyAcrossRestarts();
    void badFileIsRefused_data();
    void badFileIsRefused();
    void unwritableFileAnswersTheSaveWithARejection();
    void switches();
};

void EepromTest::saveEchoesAtOnceAndAnswersLater()
{
    VirtualInstrument instrument;
    const auto chunks = send(instrument, "1ESV\r");
    QVERIFY(!chunks.empty());
    // The echo goes out at once; the answer only after the program has discarded the echo
    // (it waits its 50 ms plus 100 ms before that).
    double gap = 0;
    QByteArray echo;
    for (size_t i = 0; i + 1 < chunks.size(); ++i) {
        echo += chunks[i].bytes;
        gap += chunks[i].gapMs;
    }
    QCOMPARE(echo, QByteArray("1ESV\r"));
    QVERIFY(gap < 10);
    QCOMPARE(chunks.back().bytes, QByteArray("Saved\r\n"));
    QVERIFY2(chunks.back().gapMs >= 150 && chunks.back().gapMs <= 400, qPrintable(QString::number(chunks.back().gapMs)));
}

void EepromTest::loadBringsBackTheSavedValues()
{
    VirtualInstrument instrument;
    QCOMPARE(joined(send(instrument, "1DRA 20\r")), QByteArray("1DRA 20\r\r\n"));
    send(instrument, "1ESV\r");
    send(instrument, "1DRA 30\r");
    send(instrument, "1DVA 4 cell  NiCd\r");
    QCOMPARE(value(instrument, "DRA"), QStringLiteral("30"));
    QCOMPARE(joined(send(instrument, "1ELD\r")), QByteArray("1ELD\r\r\n"));
    QCOMPARE(value(instrument, "DRA"), QStringLiteral("20"));
    QCOMPARE(value(instrument, "DVA"), QStringLiteral("Receiver"));
    QCOMPARE(joined(send(instrument, "1DRA\r")), QByteArray("1DRA\r20\r\n"));
}

void EepromTest::factoryDefaultsReplaceTheWorkingSettingsOnly()
{
    VirtualInstrument instrument;
    send(instrument, "1DCY 3 900\r");
    send(instrument, "1ESV\r");
    send(instrument, "1DM1 Hello\r");
    QCOMPARE(joined(send(instrument, "1ERD\r")), QByteArray("1ERD\r\r\n"));
    for (auto it = ApplicationFirmware::table().cbegin(); it != ApplicationFirmware::table().cend(); ++it)
        QCOMPARE(value(instrument, it.key()), it->factory);
    QCOMPARE(instrument.eeprom().contents().value("DCY 3"), QStringLiteral("900"));
    send(instrument, "1ELD\r");
    QCOMPARE(value(instrument, "DCY 3"), QStringLiteral("900"));
    QCOMPARE(value(instrument, "DM1"), QStringLiteral("QUARVEL"));
}

void EepromTest::saveWithoutAnswerStillStores()
{
    VirtualInstrument instrument;
    instrument.eeprom().setSaveAnswered(false);
    send(instrument, "1DHA 6\r");
    QCOMPARE(joined(send(instrument, "1ESV\r")), QByteArray("1ESV\r"));
    QCOMPARE(instrument.eeprom().contents().value("DHA"), QStringLiteral("6"));
}

void EepromTest::commandsWithArgumentsAreRejected()
{
    VirtualInstrument instrument;
    QCOMPARE(joined(send(instrument, "1ESV 1\r")), QByteArray("1ESV 1\r?\r\n"));
    QCOMPARE(joined(send(instrument, "1eld\r")), QByteArray("1eld\r?\r\n"));
    instrument.application().faults().rejectAll = true;
    QCOMPARE(joined(send(instrument, "1ESV\r")), QByteArray("1ESV\r?\r\n"));
}

void EepromTest::fileKeepsTheCopyAcrossRestarts()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("eeprom.json");
    {
        VirtualInstrument first;
        QCOMPARE(first.eeprom().useFile(path), QString()); // no file yet: factory defaults
        QCOMPARE(value(first, "DRB"), QStringLiteral("7.5"));
        send(first, "1DRB 12\r");
        send(first, "1DVB 2 cell Li-Po\r");
        send(first, "1ESV\r");
        send(first, "1DRB 13\r"); // not saved
    }
    QVERIFY(QFile::exists(path));
    VirtualInstrument second;
    QCOMPARE(second.eeprom().useFile(path), QString());
    QCOMPARE(value(second, "DRB"), QStringLiteral("12"));
    QCOMPARE(value(second, "DVB"), QStringLiteral("2 cell Li-Po"));
    QCOMPARE(value(second, "DRA"), QStringLiteral("10"));

    // Without the file nothing survives.
    VirtualInstrument third;
    QCOMPARE(value(third, "DRB"), QStringLiteral("7.5"));
}

void EepromTest::badFileIsRefused_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("not JSON") << QByteArray("DRA=10\n");
    QTest::newRow("a list") << QByteArray("[\"10\"]");
    QTest::newRow("unknown setting") << QByteArray("{\"XYZ\": \"1\"}");
    QTest::newRow("value out of range") << QByteArray("{\"DRA\": \"abc\"}");
    QTest::newRow("number instead of text") << QByteArray("{\"DRA\": 10}");
    QTest::newRow("text too long") << QByteArray("{\"DVA\": \"12345678901234567\"}");
}

void EepromTest::badFileIsRefused()
{
    QFETCH(QByteArray, text);
    QTemporaryDir dir;
    const QString path = dir.filePath("eeprom.json");
    writeFile(path, text);
    VirtualInstrument instrument;
    const QString error = instrument.eeprom().useFile(path);
    QVERIFY2(error.contains(path), qPrintable(error));
    QCOMPARE(value(instrument, "DRA"), QStringLiteral("10")); // the working settings untouched
}

void EepromTest::unwritableFileAnswersTheSaveWithARejection()
{
    QTemporaryDir dir;
    writeFile(dir.filePath("blocked"), "x");
    VirtualInstrument instrument;
    QCOMPARE(instrument.eeprom().useFile(dir.filePath("blocked/eeprom.json")), QString());
    QCOMPARE(joined(send(instrument, "1ESV\r")), QByteArray("1ESV\r?\r\n"));
}

void EepromTest::switches()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("eeprom.json");
    writeFile(path, "{\"DLA\": \"3.9\"}");
    VirtualInstrument instrument;
    PtyServer server(instrument);
    QCOMPARE(applyOptions({"--eeprom", path, "--no-save-answer"}, instrument, server), QString());
    QCOMPARE(value(instrument, "DLA"), QStringLiteral("3.9"));
    QCOMPARE(joined(send(instrument, "1ESV\r")), QByteArray("1ESV\r"));

    VirtualInstrument other;
    PtyServer otherServer(other);
    QVERIFY(!applyOptions({"--eeprom"}, other, otherServer).isEmpty());
    writeFile(path, "{");
    QVERIFY(applyOptions({"--eeprom", path}, other, otherServer).contains(path));
}

QTEST_GUILESS_MAIN(EepromTest)
#include "EepromTest.moc"
