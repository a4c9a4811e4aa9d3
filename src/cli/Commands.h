#pragma once

namespace quarvel::cli {

struct Arguments;
class Session;

// Each command: checks its operands (nothing sent when they are bad), finds the instrument,
// does its work and returns the exit status.
int runPorts(Session& session, const Arguments& arguments);
int runIdentify(Session& session, const Arguments& arguments);
int runGet(Session& session, const Arguments& arguments);
int runSet(Session& session, const Arguments& arguments);
int runEeprom(Session& session, const Arguments& arguments);
int runBackup(Session& session, const Arguments& arguments);
int runRestore(Session& session, const Arguments& arguments);
int runFlash(Session& session, const Arguments& arguments);
int runReadFlash(Session& session, const Arguments& arguments);
int runFuses(Session& session, const Arguments& arguments);
int runDownload(Session& session, const Arguments& arguments);
int runRecord(Session& session, const Arguments& arguments);
int runReport(Session& session, const Arguments& arguments);
int runPlot(Session& session, const Arguments& arguments);

// The command the arguments name; kBadInput for one that does not exist.
int runCommand(Session& session, const Arguments& arguments);

} // namespace quarvel::cli
