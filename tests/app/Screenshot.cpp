// Renders the main window against the virtual instrument into a PNG (for the README):
//   quarvel_screenshot <file.png> [tab index]
#include "MainWindow.h"
#include "ScriptedPrompter.h"
#include "SimulatedSerialPort.h"
#include "VirtualInstrument.h"

#include <QApplication>
#include <QTabWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    quarvel::sim::VirtualInstrument instrument;
    quarvel::sim::SimulatedSerialPort port(instrument);
    quarvel::test::ScriptedPrompter prompter;
    prompter.defaultYesNo = false;
    quarvel::MainWindow window(port, prompter, QString());
    window.startUp();
    window.show();
    if (argc > 2)
        window.tabs()->setCurrentIndex(QString::fromLocal8Bit(argv[2]).toInt());
    QApplication::processEvents();
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
