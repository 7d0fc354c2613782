#pragma once
// The console's "video" command: a stalled picture on demand, for trying the window's
// fall-back to NO VIDEO.
class CommandRegistry;
class SimVideoOutput;

void RegisterVideoCommands(CommandRegistry& registry, SimVideoOutput& video);
