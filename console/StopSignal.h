#pragma once

// Ctrl+C (SIGINT) and SIGTERM while the command line runs: the first asks
// the transfer to stop at its next safe point; a second ends the program
// at once, as it would without the handler.
void CatchStopSignals();
// Whether one of them has arrived.
bool StopRequested();
