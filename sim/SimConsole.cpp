#include "sim/SimConsole.h"

#include <chrono>
#include <thread>

SimConsole::SimConsole(CommandRegistry& registry, std::ostream& out)
    : m_registry(registry)
    , m_out(out)
{
}

void SimConsole::Sleep(int ms)
{
    if (sleeper) {
        sleeper(ms);
        return;
    }
    // Sleep in slices so that a quit request ends a long wait quickly.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!m_quit && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::min<std::chrono::nanoseconds>(
            std::chrono::milliseconds(20), end - std::chrono::steady_clock::now()));
}

bool SimConsole::RunLine(const std::string& line)
{
    m_lastOk = true;
    const std::vector<std::string> words = SplitCommandLine(line);
    if (words.empty())
        return !m_quit;
    const std::string& name = words[0];
    const std::vector<std::string> args(words.begin() + 1, words.end());

    if (name == "quit" || name == "exit") {
        m_quit = true;
        return false;
    }
    if (name == "help") {
        m_out << "help                              this list\n"
                 "quit                              end the simulator\n"
                 "wait MS | sleep MS                pause a script for MS milliseconds\n";
        m_registry.PrintHelp(m_out);
        return true;
    }
    if (name == "wait" || name == "sleep") {
        int ms = -1;
        if (args.size() == 1) {
            try {
                size_t used = 0;
                ms = std::stoi(args[0], &used);
                if (used != args[0].size())
                    ms = -1;
            } catch (...) {
                ms = -1;
            }
        }
        if (ms < 0) {
            m_out << "error: usage: " << name << " MS\n";
            m_lastOk = false;
            return true;
        }
        Sleep(ms);
        return !m_quit;
    }
    const SimCommand* command = m_registry.Find(name);
    if (!command) {
        m_out << "error: unknown command '" << name << "' (try help)\n";
        m_lastOk = false;
        return true;
    }
    if (!command->run(args, m_out)) {
        m_out << "error: usage: " << command->name << (command->usage.empty() ? "" : " ")
              << command->usage << "\n";
        m_lastOk = false;
    }
    return !m_quit;
}

bool SimConsole::Run(std::istream& in, bool prompt)
{
    std::string line;
    while (!m_quit) {
        if (prompt)
            m_out << "> " << std::flush;
        if (!std::getline(in, line))
            break;
        const bool hadWords = !SplitCommandLine(line).empty();
        RunLine(line);
        if (prompt && hadWords && m_lastOk && !m_quit)
            m_out << "ok\n";
        m_out.flush();
    }
    return m_quit;
}
