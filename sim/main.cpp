// torvik-sim: the switch's side of the serial line on a pseudo-terminal.
#include "sim/PseudoTerminal.h"
#include "sim/SimOptions.h"
#include "sim/Simulator.h"
#include "sim/StateFile.h"
#include "sim/StopSignal.h"
#include "sim/SwitchState.h"

#include <fstream>
#include <iostream>
#include <span>

namespace {

int fail(const std::string& message)
{
    std::cerr << "torvik-sim: " << message << '\n';
    return 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    const ParsedOptions parsed = ParseSimOptions(std::span<char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
    if (parsed.help) {
        std::cout << kSimUsage;
        return 0;
    }
    if (parsed.version) {
        std::cout << "torvik-sim " TORVIK_VERSION "\n";
        return 0;
    }
    if (!parsed.error.empty()) {
        std::cerr << "torvik-sim: " << parsed.error << " (torvik-sim --help lists the options)\n";
        return 2;
    }
    const SimOptions& options = parsed.options;

    // A fresh switch holds the factory configuration.
    KVM_CONFIG config;
    KVM_LAYOUT layout;
    ResetToDefaults(config, layout);
    if (!options.state.empty() &&
        ReadStateFile(QString::fromLocal8Bit(options.state), config, layout) == StateFileStatus::Failed)
        return fail("cannot read the state file " + options.state);
    SwitchState state(config, layout);

    std::ofstream log;
    if (!options.log.empty()) {
        log.open(options.log, std::ios::out | std::ios::trunc | std::ios::binary);
        if (!log)
            return fail("cannot write the log file " + options.log);
    }

    if (!StopSignal::install())
        return fail("cannot set up the signal handlers");
    PseudoTerminal terminal;
    std::string error;
    if (!terminal.open(error) || (!options.link.empty() && !terminal.link(options.link, error)))
        return fail(error);
    // The path goes out once the terminal (and its link) can be opened.
    std::cout << terminal.slavePath() << std::endl;

    Simulator simulator(options, state, terminal, options.log.empty() ? nullptr : &log);
    const Simulator::End end = simulator.run();
    terminal.close();
    return end == Simulator::End::Failed ? fail("the pseudo-terminal failed") : 0;
}
