// Every field of the window is announced by its visible label, and the window works from the
// keyboard alone.
#include "FakeSerialPort.h"
#include "MainWindow.h"
#include "ScriptedPrompter.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QtTest>

using namespace quarvel;

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void everyFieldIsNamedByItsLabel();
    void everyButtonCanTakeTheKeyboardFocus();
};

void AccessibilityTest::everyFieldIsNamedByItsLabel()
{
    test::FakeSerialPort port;
    test::ScriptedPrompter prompter;
    MainWindow window(port, prompter, QString());
    const auto fields = window.findChildren<QLineEdit*>();
    QVERIFY(fields.size() >= 28 + 3 + 2 + 7);
    QHash<QWidget*, QLabel*> buddies;
    for (QLabel* label : window.findChildren<QLabel*>())
        if (label->buddy())
            buddies.insert(label->buddy(), label);
    for (QLineEdit* field : fields) {
        if (field->objectName() == QLatin1String("txtFileName")) {
            QCOMPARE(field->accessibleName(), QStringLiteral("Program file name"));
            continue;
        }
        QLabel* label = buddies.value(field);
        QVERIFY2(label, qPrintable(field->objectName() + " has no label"));
        QCOMPARE(field->accessibleName(), label->text().remove('&'));
        QVERIFY2(label->isVisibleTo(&window) == field->isVisibleTo(&window), qPrintable(field->objectName()));
    }
}

void AccessibilityTest::everyButtonCanTakeTheKeyboardFocus()
{
    test::FakeSerialPort port;
    test::ScriptedPrompter prompter;
    MainWindow window(port, prompter, QString());
    for (QAbstractButton* button : window.centralWidget()->findChildren<QAbstractButton*>())
        QVERIFY2(button->focusPolicy() & Qt::TabFocus, qPrintable(button->objectName()));
    QVERIFY(window.tabs()->focusPolicy() & Qt::TabFocus); // Ctrl+Tab changes tabs from anywhere
}

QTEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"
