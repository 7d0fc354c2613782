// qvt-vz1-sim: the virtual camera. Commands come from standard input or a script file.
#include "sim/CommandRegistry.h"
#include "sim/SimConsole.h"
#include "sim/speakerphones/SpeakerphoneCommands.h"
#include "sim/speakerphones/SpeakerphoneSimulator.h"

#include <cstring>
#include <fstream>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv)
{
    std::string script;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--script") && i + 1 < argc)
            script = argv[++i];
    }
    CommandRegistry registry;
    SpeakerphoneSimulator speakerphones;
    RegisterSpeakerphoneCommands(registry, speakerphones);
    SimConsole console(registry, std::cout);
    if (!script.empty()) {
        std::ifstream in(script);
        if (!in) {
            std::cerr << "qvt-vz1-sim: cannot read " << script << "\n";
            return 2;
        }
        console.Run(in, false);
        return 0;
    }
    console.Run(std::cin, ::isatty(STDIN_FILENO));
    return 0;
}
