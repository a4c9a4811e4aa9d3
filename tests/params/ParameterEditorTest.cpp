// The parameter tabs against the virtual instrument in this process, and the EEPROM save's
// answer handling against a scripted port.
#include "EepromOperations.h"
#include "FakeSerialPort.h"
#include "ParameterBinding.h"
#include "ParameterPages.h"
#include "ParameterTable.h"
#include "ProfilePresets.h"
#include "ScriptedPrompter.h"
#include "SerialLink.h"
#include "SimulatedSerialPort.h"
#include "VirtualInstrument.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace quarvel;
using namespace quarvel::test;

namespace {

QStringList linesOf(const QByteArray& written)
{
    QStringList lines = QString::fromLatin1(written).split(QLatin1Char('\r'));
    lines.removeLast();
    return lines;
}

struct SimBench {
    SimBench() : port(instrument), link(port, prompter), pages(link) { port.open(); }
    sim::VirtualInstrument instrument;
    sim::SimulatedSerialPort port;
    ScriptedPrompter prompter;
    SerialLink link;
    ParameterPages pages;
    QLineEdit* param(int i) { return pages.binding().parameter(i); }
    QPushButton* button(int tab, const QString& name) { return pages.page(tab)->findChild<QPushButton*>(name); }
};

} // namespace

class ParameterEditorTest : public QObject {
    Q_OBJECT
private slots:
    void fields_matchTheTableAndAreLabelled();
    void preset_writesItsFiveValuesInOrder_data();
    void preset_writesItsFiveValuesInOrder();
    void preset_setsDirtyEvenWhenEveryWriteIsRejected();
    void updateValues_readsOnlyTheReport();
    void save_clearsDirtyOnAnyAnswer_data();
    void save_clearsDirtyOnAnyAnswer();
    void save_withoutAnswer_warnsWithinItsLimitAndKeepsDirty();
    void loadAndDefaults_sendTheirCommandThenReload();
};

void ParameterEditorTest::fields_matchTheTableAndAreLabelled()
{
    SimBench b;
    QCOMPARE(b.pages.binding().parameterCount(), kParameterCount);
    QCOMPARE(b.pages.binding().reportCount(), kReportCount);
    for (int i = 0; i < kParameterCount; ++i) {
        QLineEdit* field = b.param(i);
        QVERIFY(field);
        QCOMPARE(field->accessibleName(), parameterFields()[i].label);
        QVERIFY(b.pages.page(parameterFields()[i].tab)->isAncestorOf(field));
        QCOMPARE(field->font().pointSizeF(), 9.75);
    }
    QCOMPARE(b.pages.binding().report(2)->accessibleName(), QStringLiteral("Battery Pack Impeadance"));
    QCOMPARE(b.param(0)->toolTip(), QStringLiteral("Enter a 12 character voltage profile name"));
}

void ParameterEditorTest::preset_writesItsFiveValuesInOrder_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("index");
    for (int tab = 0; tab < 2; ++tab)
        for (int n = 0; n < profilePresets().size(); ++n)
            QTest::addRow("%s %s", tab == 0 ? "A" : "B", qPrintable(profilePresets()[n].caption)) << tab << n;
}

void ParameterEditorTest::preset_writesItsFiveValuesInOrder()
{
    QFETCH(int, tab);
    QFETCH(int, index);
    SimBench b;
    for (int i = 0; i < kParameterCount; ++i)
        b.param(i)->setText(QStringLiteral("untouched %1").arg(i));
    const QString name = tab == 0 ? QStringLiteral("cmdProfileA_%1") : QStringLiteral("cmdProfileB_%1");
    QPushButton* button = b.button(tab, name.arg(index));
    QCOMPARE(button->text(), profilePresets()[index].caption);

    button->click();

    const ProfilePreset& p = profilePresets()[index];
    const QString suffix = tab == 0 ? QStringLiteral("A") : QStringLiteral("B");
    const QStringList expected{"1DV" + suffix + " " + p.name, "1DR" + suffix + " " + p.resistance,
                               "1DH" + suffix + " " + p.high, "1DW" + suffix + " " + p.warning,
                               "1DL" + suffix + " " + p.low};
    QCOMPARE(linesOf(b.port.written()), expected);
    const auto targets = tab == 0 ? kProfileAFields : kProfileBFields;
    for (int i = 0; i < kParameterCount; ++i) {
        const auto at = std::find(targets.begin(), targets.end(), i);
        const QString text = at == targets.end() ? QStringLiteral("untouched %1").arg(i)
                                                 : p.values()[size_t(at - targets.begin())];
        QCOMPARE(b.param(i)->text(), text);
    }
    QVERIFY(b.pages.binding().dirty());
    QVERIFY(b.prompter.messages.isEmpty()); // the instrument accepts every preset
    QCOMPARE(b.instrument.application().value("DV" + suffix), p.name);
}

void ParameterEditorTest::preset_setsDirtyEvenWhenEveryWriteIsRejected()
{
    SimBench b;
    b.instrument.application().faults().rejectAll = true;
    b.button(1, QStringLiteral("cmdProfileB_4"))->click();
    QVERIFY(b.pages.binding().dirty());
    QCOMPARE(b.prompter.messages.size(), 5);
    QCOMPARE(b.param(11)->text(), QStringLiteral("2 cell Li-Po"));
    QCOMPARE(b.param(7)->text(), QStringLiteral("6.0"));
}

void ParameterEditorTest::updateValues_readsOnlyTheReport()
{
    SimBench b;
    b.param(1)->setText(QStringLiteral("typed"));
    b.button(3, QStringLiteral("cmdUpdate"))->click();
    QCOMPARE(linesOf(b.port.written()), (QStringList{"1RNV", "1RLV", "1RIM"}));
    QCOMPARE(b.param(1)->text(), QStringLiteral("typed"));
    bool ok = false;
    QVERIFY(b.pages.binding().report(0)->text().toDouble(&ok) > 7.0 && ok);
    QCOMPARE(b.pages.binding().report(2)->text(), QStringLiteral("0.120"));
    QVERIFY(!b.pages.binding().dirty());
}

void ParameterEditorTest::save_clearsDirtyOnAnyAnswer_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("a short text") << QByteArray("Saved\r\n");
    QTest::newRow("a rejection") << QByteArray("?\r\n");
}

void ParameterEditorTest::save_clearsDirtyOnAnyAnswer()
{
    QFETCH(QByteArray, answer);
    FakeSerialPort port;
    ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    ParameterPages pages(link);
    port.open();
    port.setResponder([](const QByteArray& line) { return line; }); // the echo only
    pages.binding().setDirty(true);
    QTimer::singleShot(200, [&] { port.feed(answer); }); // after the echo has been thrown away

    QVERIFY(pages.eeprom().saveToEeprom());
    QCOMPARE(port.writes(), QByteArrayList{"1ESV\r"});
    QVERIFY(!pages.binding().dirty());
    QVERIFY(prompter.messages.isEmpty());

    // An answer that came together with the echo counts too.
    pages.binding().setDirty(true);
    port.setResponder([&](const QByteArray& line) { return line + answer; });
    QVERIFY(pages.eeprom().saveToEeprom());
    QVERIFY(!pages.binding().dirty());
}

void ParameterEditorTest::save_withoutAnswer_warnsWithinItsLimitAndKeepsDirty()
{
    FakeSerialPort port;
    ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    ParameterBinding binding(link, {}, {});
    EepromOperations eeprom(binding, 300);
    port.open();
    port.setResponder([](const QByteArray& line) { return line; });
    binding.setDirty(true);
    QVERIFY(!eeprom.saveToEeprom());
    QCOMPARE(prompter.messages, QStringList{EepromOperations::kSaveUnansweredMessage});
    QVERIFY(binding.dirty());

    port.close(); // a closed port cannot answer either
    QVERIFY(!eeprom.saveToEeprom());
    QCOMPARE(prompter.messages.size(), 2);
    QVERIFY(binding.dirty());
}

void ParameterEditorTest::loadAndDefaults_sendTheirCommandThenReload()
{
    SimBench b;
    b.pages.binding().reloadParameters();
    b.button(3, QStringLiteral("cmdESV"))->click(); // EEPROM now holds the factory values
    QVERIFY(b.prompter.messages.isEmpty());

    // Edits written but not saved: loading from EEPROM shows the saved values again.
    b.param(1)->setText(QStringLiteral("47"));
    b.pages.binding().setDirty(true);
    b.link.setValue("1", "DRA", "47");
    b.port.clearWritten();
    b.button(3, QStringLiteral("cmdELD"))->click();
    QStringList lines = linesOf(b.port.written());
    QCOMPARE(lines.first(), QStringLiteral("1ELD"));
    QCOMPARE(lines.size(), 1 + 32);
    QCOMPARE(lines.value(1), QStringLiteral("1DVA"));
    QCOMPARE(b.param(1)->text(), QStringLiteral("10"));
    QVERIFY(b.pages.binding().dirty());

    // Factory defaults replace the working values; the flag stays as it was.
    b.instrument.application().setValue("DRB", "99");
    b.pages.binding().setDirty(false);
    b.port.clearWritten();
    b.button(3, QStringLiteral("cmdERD"))->click();
    lines = linesOf(b.port.written());
    QCOMPARE(lines.first(), QStringLiteral("1ERD"));
    QCOMPARE(lines.size(), 1 + 32);
    QCOMPARE(b.param(10)->text(), QStringLiteral("7.5"));
    QVERIFY(!b.pages.binding().dirty());
}

QTEST_MAIN(ParameterEditorTest)
#include "ParameterEditorTest.moc"
