// The parameter tabs against the virtual instrument in this process.
#include "link/ui/DialogPrompter.h"
#include "params/ui/EepromOperations.h"
#include "params/ui/ParameterBinding.h"
#include "params/ui/ParameterPages.h"
#include "params/ui/ParamIo.h"
#include "support/FakeSerialPort.h"
#include "support/SimRig.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace quarvel;
using namespace quarvel::test;

namespace {
struct Rig {
    SimRig sim;
    ParameterPages pages{sim.link};
    QLineEdit* param(int i) { return pages.binding().parameter(i); }
    QPushButton* button(int tab, const QString& name) { return pages.page(tab)->findChild<QPushButton*>(name); }
};
} // namespace

class ParameterEditorTest : public QObject {
    Q_OBJECT
private slots:
    void preset_writesItsFiveValuesInOrder_data();
    void preset_writesItsFiveValuesInOrder();
    void preset_setsDirtyEvenWhenEveryWriteIsRejected();
    void key_setsDirtyOnlyWhenItTypesACharacter_data();
    void key_setsDirtyOnlyWhenItTypesACharacter();
    void messageBox_isNotAFocusLoss();
    void fieldEmptiedByARead_isNotWrittenBackByAFocusPass();
    void updateValues_readsOnlyTheReport();
    void save_clearsDirtyOnlyWhenConfirmed_data();
    void save_clearsDirtyOnlyWhenConfirmed();
    void loadAndDefaults_sendTheirCommandThenReload_data();
    void loadAndDefaults_sendTheirCommandThenReload();
    void unansweredWork_isToldOnceAndFieldsKeepTheirText_data();
    void unansweredWork_isToldOnceAndFieldsKeepTheirText();
    void unsentValue_isMarkedAndSentBeforeTheSave_data();
    void unsentValue_isMarkedAndSentBeforeTheSave();
};

void ParameterEditorTest::preset_writesItsFiveValuesInOrder_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QByteArray>("wire");
    const auto row = [](int tab, int n, const char* caption, const char* wire) {
        const QString button = QStringLiteral("cmdProfile%1_%2").arg(tab == 0 ? 'A' : 'B').arg(n);
        QTest::newRow(qPrintable(button)) << tab << button << QString(caption) << QByteArray(wire);
    };
    row(0, 0, "4 cell NiCd", "1DVA 4 cell  NiCd\r1DRA 10\r1DHA 5\r1DWA 4.6\r1DLA 4.4\r");
    row(0, 1, "5 cell NiCd", "1DVA 5 cell  NiCd\r1DRA 12\r1DHA 6.25\r1DWA 5.75\r1DLA 5.5\r");
    row(0, 2, "4 cell NiMH", "1DVA 4 cell  NiMH\r1DRA 10\r1DHA 5\r1DWA 4.6\r1DLA 4.4\r");
    row(0, 3, "5 cell NiMH", "1DVA 5 cell  NiMH\r1DRA 12\r1DHA 6.25\r1DWA 5.75\r1DLA 5.5\r");
    row(0, 4, "2 cell Li-Poly", "1DVA 2 cell Li-Po\r1DRA 7.5\r1DHA 8.4\r1DWA 6.5\r1DLA 6.0\r");
    row(1, 1, "5 cell NiCd", "1DVB 5 cell  NiCd\r1DRB 12\r1DHB 6.25\r1DWB 5.75\r1DLB 5.5\r");
    row(1, 3, "5 cell NiMH", "1DVB 5 cell  NiMH\r1DRB 12\r1DHB 6.25\r1DWB 5.75\r1DLB 5.5\r");
    row(1, 4, "2 cell Li-Poly", "1DVB 2 cell Li-Po\r1DRB 7.5\r1DHB 8.4\r1DWB 6.5\r1DLB 6.0\r");
}

void ParameterEditorTest::preset_writesItsFiveValuesInOrder()
{
    QFETCH(int, tab);
    QFETCH(QString, button);
    QFETCH(QString, caption);
    QFETCH(QByteArray, wire);
    Rig r;
    for (int i = 0; i < 28; ++i)
        r.param(i)->setText(QStringLiteral("untouched"));
    QCOMPARE(r.button(tab, button)->text(), caption);
    r.button(tab, button)->click();
    QCOMPARE(r.sim.port.written(), wire);
    int changed = 0;
    for (int i = 0; i < 28; ++i)
        changed += r.param(i)->text() != QLatin1String("untouched");
    QCOMPARE(changed, 5); // the five written are the five filled
    QVERIFY(r.pages.binding().dirty());
    QCOMPARE(r.sim.prompter.messages, QStringList()); // the instrument accepts every preset
}

void ParameterEditorTest::preset_setsDirtyEvenWhenEveryWriteIsRejected()
{
    Rig r;
    r.sim.instrument.application().faults().rejectAll = true;
    r.button(1, QStringLiteral("cmdProfileB_4"))->click();
    QVERIFY(r.pages.binding().dirty());
    QCOMPARE(r.sim.prompter.messages, QStringList(5, QStringLiteral("Error sending command to servo!")));
    QCOMPARE(r.param(11)->text(), QStringLiteral("2 cell Li-Po")); // the fields keep the preset
}

void ParameterEditorTest::key_setsDirtyOnlyWhenItTypesACharacter_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("dirty");
    QTest::newRow("letter") << int(Qt::Key_A) << int(Qt::NoModifier) << true;
    QTest::newRow("Escape, which changes nothing") << int(Qt::Key_Escape) << int(Qt::NoModifier) << true;
    QTest::newRow("Backspace in an empty field") << int(Qt::Key_Backspace) << int(Qt::NoModifier) << true;
    QTest::newRow("Tab") << int(Qt::Key_Tab) << int(Qt::NoModifier) << false;
    QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << false;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << int(Qt::NoModifier) << false;
}

void ParameterEditorTest::key_setsDirtyOnlyWhenItTypesACharacter()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, dirty);
    Rig r;
    QTest::keyClick(r.param(1), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(r.pages.binding().dirty(), dirty);
}

// A rejected write raises a real message box. The box taking the focus is no focus loss of the
// field, or every box would write the field again and raise the next box.
void ParameterEditorTest::messageBox_isNotAFocusLoss()
{
    SimRig sim;
    DialogPrompter prompter;
    SerialLink link(sim.port, prompter);
    ParameterPages pages(link);
    std::unique_ptr<QWidget> window(pages.page(0)); // "Profile A" as a window of its own
    prompter.setParent(window.get());
    QLineEdit* field = pages.binding().parameter(1);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    field->setFocus();
    QTRY_VERIFY(field->hasFocus());
    sim.port.clearWritten(); // the field that had the focus first was written
    int boxes = 0;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++boxes;
            box->accept();
        }
    });
    closer.start(50);
    QTest::keyClicks(field, QStringLiteral("3")); // below the instrument's 5 ohms
    QTest::keyClick(field, Qt::Key_Return);
    QTRY_COMPARE(boxes, 1);
    QTest::qWait(200);
    QCOMPARE(sim.port.written(), QByteArray("1DRA 3\r"));

    window->activateWindow(); // back in the window, the field has the focus again
    QTRY_VERIFY(field->hasFocus());
    pages.binding().parameter(2)->setFocus(); // moving to another field is a focus loss
    QTRY_COMPARE(boxes, 2);
    QCOMPARE(sim.port.written(), QByteArray("1DRA 3\r1DRA 3\r"));
}

void ParameterEditorTest::fieldEmptiedByARead_isNotWrittenBackByAFocusPass()
{
    Rig r;
    QVERIFY(r.sim.link.setValue("1", "sDM1", "Ready?") == Answer::Confirmed); // reads back as a refusal
    r.pages.binding().reloadParameters();
    QLineEdit* line1 = r.param(23);
    QCOMPARE(line1->text(), QString());
    const auto passThrough = [](QLineEdit* field) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(field, &out);
    };
    r.sim.port.clearWritten();
    passThrough(line1);
    passThrough(r.param(24)); // a field read with a value is written on every pass, as always
    QCOMPARE(r.sim.port.written(), QByteArray("1DM2 Battery check\r"));
    r.sim.port.clearWritten();
    QTest::keyClick(line1, Qt::Key_Backspace); // emptied on purpose: now the user's value
    passThrough(line1);
    QCOMPARE(r.sim.port.written(), QByteArray("1DM1 \r"));
}

void ParameterEditorTest::updateValues_readsOnlyTheReport()
{
    Rig r;
    r.param(1)->setText(QStringLiteral("typed"));
    r.button(3, QStringLiteral("cmdUpdate"))->click();
    QCOMPARE(r.sim.port.written(), QByteArray("1RNV\r1RLV\r1RIM\r"));
    QCOMPARE(r.param(1)->text(), QStringLiteral("typed"));
    QCOMPARE(r.pages.binding().report(2)->text(), QStringLiteral("0.120"));
    QVERIFY(!r.pages.binding().dirty());
}

void ParameterEditorTest::save_clearsDirtyOnlyWhenConfirmed_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");
    QTest::newRow("confirmed") << "" << "";
    const QString refused = QStringLiteral("The QUARVEL refused to save the settings to its EEPROM. Your changes "
                                           "are not saved; check them and save again.");
    QTest::newRow("refused, the EEPROM cannot be written") << "unwritable" << refused;
    QTest::newRow("refused at once") << "reject" << refused;
    QTest::newRow("never answered")
        << "silent" << "The QUARVEL did not confirm the save. The settings may not have been saved to the "
                       "instrument's EEPROM; check the connection and save again.";
}

void ParameterEditorTest::save_clearsDirtyOnlyWhenConfirmed()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    Rig r;
    QTemporaryDir dir;
    if (fault == QLatin1String("unwritable")) {
        writeFile(dir.filePath("blocked"), "x");
        QCOMPARE(r.sim.instrument.eeprom().useFile(dir.filePath("blocked/eeprom.json")), QString());
    }
    r.sim.instrument.application().faults().rejectAll = fault == QLatin1String("reject");
    r.sim.instrument.eeprom().setSaveAnswered(fault != QLatin1String("silent"));
    EepromOperations eeprom(r.pages.binding(), 1000);
    r.pages.binding().setDirty(true);

    QCOMPARE(eeprom.saveToEeprom(), message.isEmpty());
    QCOMPARE(r.sim.port.written(), QByteArray("1ESV\r"));
    QCOMPARE(r.sim.prompter.messages, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(r.pages.binding().dirty(), !message.isEmpty());
}

void ParameterEditorTest::loadAndDefaults_sendTheirCommandThenReload_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<bool>("dirty");
    QTest::newRow("load from EEPROM") << "cmdELD" << QByteArray("1ELD\r") << true;
    QTest::newRow("factory defaults") << "cmdERD" << QByteArray("1ERD\r") << false;
}

void ParameterEditorTest::loadAndDefaults_sendTheirCommandThenReload()
{
    QFETCH(QString, button);
    QFETCH(QByteArray, command);
    QFETCH(bool, dirty);
    Rig r;
    r.sim.link.setValue("1", "DRA", "47"); // written, not saved: EEPROM and factory hold 10
    r.pages.binding().setDirty(dirty);
    r.sim.port.clearWritten();
    r.button(3, button)->click();
    const QByteArray written = r.sim.port.written();
    QVERIFY2(written.startsWith(command + "1DVA\r1DVA\r1DRA\r"), written.constData());
    QCOMPARE(written.count('\r'), 1 + 32);
    QCOMPARE(r.param(1)->text(), QStringLiteral("10"));
    QCOMPARE(r.pages.binding().dirty(), dirty); // unchanged either way
}

void ParameterEditorTest::unansweredWork_isToldOnceAndFieldsKeepTheirText_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("button"); // empty: Enter in the resistance field
    QTest::addColumn<QString>("resistance"); // the field's text afterwards
    QTest::addColumn<QString>("reloaded"); // and after a reload once the instrument answers again
    QTest::newRow("a field's write") << 0 << "" << "12" << "12";
    QTest::newRow("a preset") << 0 << "cmdProfileA_1" << "12" << "12";
    QTest::newRow("load from EEPROM") << 3 << "cmdELD" << "typed" << "10";
    QTest::newRow("factory defaults") << 3 << "cmdERD" << "typed" << "10";
}

void ParameterEditorTest::unansweredWork_isToldOnceAndFieldsKeepTheirText()
{
    QFETCH(int, tab);
    QFETCH(QString, button);
    QFETCH(QString, resistance);
    QFETCH(QString, reloaded);
    Rig r;
    r.sim.instrument.application().faults().identifyOnly = true;
    r.param(1)->setText(button.isEmpty() ? QStringLiteral("12") : QStringLiteral("typed"));
    if (button.isEmpty())
        QTest::keyClick(r.param(1), Qt::Key_Return);
    else
        r.button(tab, button)->click();
    QCOMPARE(r.sim.prompter.messages, QStringList{"The QUARVEL did not answer, so nothing was confirmed. Check the "
                                                  "connection and try again."});
    QCOMPARE(r.param(1)->text(), resistance);

    // An unconfirmed write is the user's only copy of the value: a reload keeps it, Enter sends it.
    r.sim.instrument.application().faults().identifyOnly = false;
    r.pages.binding().reloadParameters();
    QCOMPARE(r.param(1)->text(), reloaded);
    r.sim.port.clearWritten();
    QTest::keyClick(r.param(1), Qt::Key_Return);
    QCOMPARE(r.sim.port.written(), "1DRA " + reloaded.toLatin1() + "\r");
}

void ParameterEditorTest::unsentValue_isMarkedAndSentBeforeTheSave_data()
{
    QTest::addColumn<bool>("stillUnanswered");
    QTest::newRow("the instrument answers again") << false;
    QTest::newRow("the value still goes unanswered") << true;
}

void ParameterEditorTest::unsentValue_isMarkedAndSentBeforeTheSave()
{
    QFETCH(bool, stillUnanswered);
    FakeSerialPort port;
    ScriptedPrompter prompter;
    SerialLink link(port, prompter);
    ParameterPages pages(link);
    bool answering = false;
    port.setResponder([&](const QByteArray& line) {
        const bool silent = !answering || (stillUnanswered && line.startsWith("1DRA"));
        return silent ? QByteArray() : line + "OK\r\n";
    });
    QVERIFY(port.open());
    QLineEdit* field = pages.binding().parameter(1);
    field->setText(QStringLiteral("12"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(field->toolTip(), kUnsentNote); // seen on the field, and said by a screen reader
    QCOMPARE(field->accessibleDescription(), kUnsentNote);

    answering = true;
    prompter.messages.clear();
    port.clearWrites();
    QCOMPARE(pages.eeprom().saveToEeprom(), !stillUnanswered);
    QCOMPARE(port.written(), QByteArray("1DRA 12\r1ESV\r")); // the value first
    QCOMPARE(pages.binding().dirty(), stillUnanswered); // so Exit still asks
    if (stillUnanswered) {
        QCOMPARE(prompter.messages.size(), 1);
        QVERIFY2(prompter.messages[0].endsWith("not saved:\nLoad Resistance, in ohms (DRA): 12"),
                 qPrintable(prompter.messages[0]));
        QCOMPARE(field->accessibleDescription(), kUnsentNote);
    } else {
        QCOMPARE(prompter.messages, QStringList());
        QCOMPARE(field->toolTip(), QStringLiteral("5.0 ohms minimum to 1000 ohms maximum"));
        QCOMPARE(field->accessibleDescription(), QString());
    }
}

QTEST_MAIN(ParameterEditorTest)
#include "ParameterEditorTest.moc"
