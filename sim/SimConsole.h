#pragma once
// Reads simulator commands line by line (standard input or a script file) and runs them
// through the registry. Besides the registered commands it knows "wait MS" / "sleep MS"
// (pause a script), "help" and "quit".
#include "sim/CommandRegistry.h"

#include <atomic>
#include <functional>
#include <istream>
#include <ostream>
#include <string>

class SimConsole
{
public:
    SimConsole(CommandRegistry& registry, std::ostream& out);

    // Runs one line. Returns false once "quit" was given.
    bool RunLine(const std::string& line);

    // Runs lines until the end of input or "quit"; returns true when "quit" ended it.
    // prompt: print "> " before each line and "ok" after each command (interactive use).
    bool Run(std::istream& in, bool prompt);

    bool QuitRequested() const { return m_quit; }
    // Ends Run at the next line and makes waits return at once (signal handlers, tests).
    void RequestQuit() { m_quit = true; }

    // How "wait"/"sleep" pause; tests may replace it. Returns early on quit.
    std::function<void(int ms)> sleeper;

private:
    void Sleep(int ms);

    CommandRegistry& m_registry;
    std::ostream& m_out;
    std::atomic<bool> m_quit{false};
    bool m_lastOk = true;
};
