#pragma once

struct CommandLine;
class PortDiscovery;

// What a command line that opens no window asks for (Run::Print or
// Run::Transfer): prints its text, or carries out its transfer with the
// devices `discovery` finds. The program's exit status.
int RunWithoutWindow(const CommandLine& commandLine, const PortDiscovery& discovery);
