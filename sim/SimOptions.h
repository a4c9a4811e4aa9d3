#pragma once

#include <QString>
#include <QStringList>

namespace quarvel::sim {

class PtyServer;
class VirtualInstrument;

// Applies command-line switches to the instrument; returns an error text, empty when all is well.
QString applyOptions(const QStringList& arguments, VirtualInstrument& instrument, PtyServer& server);
QString optionsHelp();

} // namespace quarvel::sim
