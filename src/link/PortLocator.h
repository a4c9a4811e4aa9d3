#pragma once

#include <QString>

namespace quarvel {

// The program's per-user configuration folder ("Quarvel.ini" and the com<N> links live there).
QString configurationFolder();

// The device that port number n names: "COM<n>" on Windows; elsewhere the target of an entry
// "com<n>" in the configuration folder, or else /dev/ttyUSB<n-1>.
QString deviceForPort(int portNumber, const QString& configFolder);

} // namespace quarvel
