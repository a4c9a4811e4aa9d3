#include "app/MainWindow.h"
#include "link/PortLocator.h"
#include "link/QtSerialPortAdapter.h"
#include "link/ui/DialogPrompter.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // Answered before QApplication, which needs a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("quarvel %s\n", QUARVEL_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("usage: quarvel [--version | --help] [Qt options]\n"
                        "The Quarvel desktop companion: opens port 1 at 9600 baud and looks for the instrument.\n"
                        "\"man quarvel\" describes the window, the ports and the serial permissions.\n");
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quarvel"));
    QApplication::setApplicationVersion(QStringLiteral(QUARVEL_VERSION));
    // The menu entry's name (packaging/), so a desktop shows the window under the menu's icon.
    QApplication::setDesktopFileName(QStringLiteral("org.quarvel.quarvel"));

    const QString configFolder = quarvel::configurationFolder();
    quarvel::QtSerialPortAdapter port(configFolder);
    quarvel::DialogPrompter prompter;
    quarvel::MainWindow window(port, prompter, configFolder);
    prompter.setParent(&window);
    window.startUp();
    window.show();
    return app.exec();
}
