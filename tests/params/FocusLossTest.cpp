// A rejected write raises a real message box; the box taking the focus must not count as the
// field losing it, or every box would write the field again and raise the next box.
#include "DialogPrompter.h"
#include "FakeSerialPort.h"
#include "ParameterBinding.h"
#include "SerialLink.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

using namespace quarvel;

class FocusLossTest : public QObject {
    Q_OBJECT
private slots:
    void messageBox_isNotAFocusLoss();
};

void FocusLossTest::messageBox_isNotAFocusLoss()
{
    test::FakeSerialPort port;
    port.open();
    port.setResponder([](const QByteArray& line) { return line + "?\r\n"; });
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* field = new QLineEdit(&window);
    auto* other = new QLineEdit(&window);
    layout->addWidget(field);
    layout->addWidget(other);
    field->setProperty("tag", QStringLiteral("DRA"));
    DialogPrompter prompter(&window);
    SerialLink link(port, prompter);
    ParameterBinding binding(link, {field}, {});
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    field->setFocus();
    QVERIFY(QTest::qWaitFor([&] { return field->hasFocus(); }));

    int boxes = 0;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++boxes;
            box->accept();
        }
    });
    closer.start(50);
    QTest::keyClicks(field, QStringLiteral("3"));
    QTest::keyClick(field, Qt::Key_Return);
    QTRY_COMPARE(boxes, 1);
    QTest::qWait(200);
    QCOMPARE(boxes, 1);
    QCOMPARE(port.writes(), QByteArrayList{"1DRA 3\r"});

    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QVERIFY(QTest::qWaitFor([&] { return field->hasFocus(); }));
    other->setFocus(); // moving to another control of the window is a focus loss
    QTRY_COMPARE(port.writes().size(), 2);
    QTRY_COMPARE(boxes, 2);
}

QTEST_MAIN(FocusLossTest)
#include "FocusLossTest.moc"
