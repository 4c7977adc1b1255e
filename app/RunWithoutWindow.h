#pragma once

#include <QByteArray>

struct CommandLine;
class PortDiscovery;

// What a command line that opens no window asks for (Run::Print or
// Run::Transfer): prints its text, or carries out its transfer with the
// devices `discovery` finds. The program's exit status.
int RunWithoutWindow(const CommandLine& commandLine, const PortDiscovery& discovery);

// Writes a listing to standard output: 0 when all of it was written, else 1
// with the reason on standard error (a full disk, a closed pipe), so that a
// script never takes a cut listing for a whole one.
int PrintListing(const QByteArray& text);
