// The simulator's command registry and console.
#include "sim/CommandRegistry.h"
#include "sim/SimConsole.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct Console : ::testing::Test
{
    Console()
    {
        registry.Add("talk", "DIRECTION", "speak from a direction", [this](const auto& args, std::ostream&) {
            if (args.size() != 1)
                return false;
            calls.push_back("talk " + args[0]);
            return true;
        });
        console.sleeper = [this](int ms) { slept += ms; };
    }

    CommandRegistry registry;
    std::ostringstream out;
    SimConsole console{registry, out};
    std::vector<std::string> calls;
    int slept = 0;
};

} // namespace

TEST(CommandLine, SplitsWordsAndDropsComments)
{
    EXPECT_EQ(SplitCommandLine("  stand   front  # turn it"), (std::vector<std::string>{"stand", "front"}));
    EXPECT_TRUE(SplitCommandLine("# only a comment").empty());
    EXPECT_TRUE(SplitCommandLine("\t ").empty());
}

TEST_F(Console, RunsScriptsWithRegisteredCommandsWaitsAndQuit)
{
    std::istringstream script("# a meeting\ntalk 3\nwait 250\n\nsleep 50\ntalk 5\nquit\ntalk 9\n");
    EXPECT_TRUE(console.Run(script, false));
    EXPECT_EQ(calls, (std::vector<std::string>{"talk 3", "talk 5"}));
    EXPECT_EQ(slept, 300);
    EXPECT_EQ(out.str(), "");  // not a terminal: no prompt, no acknowledgement
}

TEST_F(Console, ReportsUnknownCommandsAndWrongArgumentsAndGoesOn)
{
    std::istringstream script("speak\ntalk\nwait soon\nwait -5\ntalk 1\n");
    EXPECT_FALSE(console.Run(script, false));  // ended by the end of input, not quit
    EXPECT_EQ(calls, std::vector<std::string>{"talk 1"});
    for (const char* error : {"error: unknown command 'speak'", "error: usage: talk DIRECTION", "error: usage: wait MS"})
        EXPECT_NE(out.str().find(error), std::string::npos) << error;
    EXPECT_EQ(slept, 0);
}

TEST_F(Console, PromptsAndAcknowledgesOnlyInteractively)
{
    std::istringstream input("talk 2\nnope\n");
    console.Run(input, true);
    EXPECT_EQ(out.str(), "> ok\n> error: unknown command 'nope' (try help)\n> ");
}

TEST_F(Console, HelpListsBuiltInAndRegisteredCommands)
{
    registry.Add("talk", "DIRECTION", "replaced help", registry.Find("talk")->run);
    console.RunLine("help");
    for (const char* line : {"quit", "wait MS", "talk DIRECTION", "replaced help"})
        EXPECT_NE(out.str().find(line), std::string::npos) << line;
    EXPECT_EQ(registry.All().size(), 1u);
}

TEST_F(Console, AnAliasRunsItsCommandAndAnUnknownOneIsNotAdded)
{
    registry.AddAlias("say", "talk");
    registry.AddAlias("shout", "yell");
    std::istringstream script("say 4\nshout 1\n");
    console.Run(script, false);
    EXPECT_EQ(calls, std::vector<std::string>{"talk 4"});
    EXPECT_EQ(registry.Find("shout"), nullptr);
}
