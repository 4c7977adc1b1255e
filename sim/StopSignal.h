#pragma once

// SIGINT and SIGTERM turned into a readable descriptor (a self-pipe), so an
// event loop waiting in poll() ends cleanly when either arrives.
namespace StopSignal {

// False when the pipe or the handlers could not be set up.
bool install();

// Becomes readable once a stop signal has arrived.
int fd();

}  // namespace StopSignal
