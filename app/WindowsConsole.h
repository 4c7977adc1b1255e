#pragma once

// A window program on Windows has no console of its own. When it was started
// from one (cmd, PowerShell), its messages go to that console, except those
// already redirected to a file or pipe. True when the program's messages can
// be seen (a console, a redirection; always off Windows), false when it was
// started from the desktop and has nowhere to print.
bool UseParentConsole();
