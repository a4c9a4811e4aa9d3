#pragma once

namespace quarvel::cli {

// What quarvel-cli's exit status tells a script. Listed in the README; keep the numbers.
enum ExitStatus : int {
    kDone = 0,
    kBadInput = 2,     // bad arguments or input file: nothing was sent
    kNotFound = 3,     // no Quarvel answered the identify exchange, or --wait ran out before the port appeared
    kRefused = 4,      // the instrument refused a value or a save, or data read back differs
    kPortFailure = 5,  // the port could not be opened or was lost, or the instrument stopped answering
    // The work was done with the instrument (settings written, flash programmed, values or a record
    // read), but its result could not be written to the file named: the message says what was done.
    kOutputNotWritten = 6,
    // 128 + the signal (130 Ctrl+C or a hang-up, 143 SIGTERM): flash or fuses was interrupted; it
    // stopped before changing anything, or finished first (see InterruptGuard::exitStatus).
};

} // namespace quarvel::cli
