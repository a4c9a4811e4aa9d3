#include "app/MainWindow.h"
#include "link/PortLocator.h"
#include "link/QtSerialPortAdapter.h"
#include "link/ui/DialogPrompter.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quarvel"));
    QApplication::setApplicationVersion(QStringLiteral(QUARVEL_VERSION));

    const QString configFolder = quarvel::configurationFolder();
    quarvel::QtSerialPortAdapter port(configFolder);
    quarvel::DialogPrompter prompter;
    quarvel::MainWindow window(port, prompter, configFolder);
    prompter.setParent(&window);
    window.startUp();
    window.show();
    return app.exec();
}
