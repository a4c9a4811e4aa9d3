#include "DialogPrompter.h"
#include "MainWindow.h"
#include "PortLocator.h"
#include "QtSerialPortAdapter.h"

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
