#include "sim/CommandRegistry.h"

#include <sstream>

void CommandRegistry::Add(std::string name, std::string usage, std::string help, SimCommandHandler run)
{
    SimCommand command{name, std::move(usage), std::move(help), std::move(run)};
    m_commands[name] = std::move(command);
}

void CommandRegistry::AddAlias(const std::string& alias, const std::string& name)
{
    if (const SimCommand* command = Find(name))
        Add(alias, command->usage, "same as " + name, command->run);
}

const SimCommand* CommandRegistry::Find(const std::string& name) const
{
    const auto it = m_commands.find(name);
    return it == m_commands.end() ? nullptr : &it->second;
}

std::vector<const SimCommand*> CommandRegistry::All() const
{
    std::vector<const SimCommand*> all;
    for (const auto& [name, command] : m_commands)
        all.push_back(&command);
    return all;
}

void CommandRegistry::PrintHelp(std::ostream& out) const
{
    for (const SimCommand* command : All()) {
        std::string head = command->name;
        if (!command->usage.empty())
            head += " " + command->usage;
        out << head;
        if (head.size() < 32)
            out << std::string(32 - head.size(), ' ');
        out << "  " << command->help << "\n";
    }
}

std::vector<std::string> SplitCommandLine(const std::string& line)
{
    const std::string text = line.substr(0, line.find('#'));
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}
