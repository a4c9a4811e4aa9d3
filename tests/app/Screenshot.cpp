// Renders the main window against the virtual instrument into a PNG (for the README):
//   quarvel_screenshot <file.png> [tab index | "comm" | "about" | "chart" RECORD.csv OVERLAY.csv]
// "chart" shows the Record tab with the record loaded, the overlay compared and Profile A's limits.
#include "app/MainWindow.h"
#include "sim/SimulatedSerialPort.h"
#include "sim/VirtualInstrument.h"
#include "support/ScriptedPrompter.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QDialog>
#include <QMenuBar>
#include <QTabWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    quarvel::sim::VirtualInstrument instrument;
    quarvel::sim::SimulatedSerialPort port(instrument);
    quarvel::test::ScriptedPrompter prompter;
    const QString what = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const bool chart = what == QLatin1String("chart") && argc > 4;
    const int tab = chart ? 5 : what.toInt();
    if (chart) {
        prompter.fileAnswers.enqueue(QString::fromLocal8Bit(argv[3]));
        prompter.fileAnswers.enqueue(QString::fromLocal8Bit(argv[4]));
    }
    prompter.defaultYesNo = tab == 4; // enter programming mode only to show it
    quarvel::MainWindow window(port, prompter, QString());
    window.startUp();
    window.show();
    window.tabs()->setCurrentIndex(tab);
    QWidget* shown = &window;
    if (what == QLatin1String("comm") || what == QLatin1String("about")) {
        window.menuBar()->findChild<QAction*>(what == QLatin1String("comm") ? "mnuComm" : "mnuAbout")->trigger();
        shown = window.findChild<QDialog*>();
    }
    if (chart) {
        window.findChild<QPushButton*>("cmdLoad")->click();
        window.findChild<QPushButton*>("cmdCompare")->click();
        window.findChild<QComboBox*>("cboLimits")->setCurrentIndex(1);
    }
    QApplication::processEvents();
    return shown && shown->grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
