#pragma once
// The simulator's commands by name. Each part of the simulator (the camera, the
// speakerphones) registers its own commands here; the console looks them up by the first
// word of a line and the "help" command lists them.
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

// What a command handler is given: the words after the command name, and where to answer.
// A handler returns false when its arguments are wrong; the console then prints its usage.
using SimCommandHandler = std::function<bool(const std::vector<std::string>& args, std::ostream& out)>;

struct SimCommand
{
    std::string name;
    std::string usage;  // arguments as shown by help, e.g. "release|upside|ohp|front"
    std::string help;   // one line
    SimCommandHandler run;
};

class CommandRegistry
{
public:
    // Adds a command; a later registration of the same name replaces the earlier one.
    void Add(std::string name, std::string usage, std::string help, SimCommandHandler run);

    // Another name for a registered command (plug for attach, as people say it).
    void AddAlias(const std::string& alias, const std::string& name);

    const SimCommand* Find(const std::string& name) const;
    std::vector<const SimCommand*> All() const;  // sorted by name

    // One line per command: "name usage  -  help".
    void PrintHelp(std::ostream& out) const;

private:
    std::map<std::string, SimCommand> m_commands;
};

// Splits a command line into words at blanks; everything from '#' on is a comment.
std::vector<std::string> SplitCommandLine(const std::string& line);
