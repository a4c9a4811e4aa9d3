#pragma once

#include "link/SerialLink.h"
#include "sim/SimulatedSerialPort.h"
#include "sim/VirtualInstrument.h"
#include "support/ScriptedPrompter.h"

namespace quarvel::test {

// The in-process virtual instrument behind an open port, with a command channel and a scripted
// user on it: the stack every in-process test of the program against the instrument starts from.
// Tests that include this link quarvel_sim_engine.
struct SimRig {
    SimRig() { port.open(); }

    sim::VirtualInstrument instrument;
    sim::SimulatedSerialPort port{instrument};
    ScriptedPrompter prompter;
    SerialLink link{port, prompter};
};

} // namespace quarvel::test
