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
    const int tab = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 0;
    prompter.defaultYesNo = tab == 4; // enter programming mode only to show it
    quarvel::MainWindow window(port, prompter, QString());
    window.startUp();
    window.show();
    window.tabs()->setCurrentIndex(tab);
    QApplication::processEvents();
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
