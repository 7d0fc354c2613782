#pragma once
// The virtual USB camera's console commands: attach and detach (plug and unplug the
// node), hang and resume (its server stops and starts answering), status.
#include "sim/CommandRegistry.h"

class FuseNode;

void RegisterUvcCommands(CommandRegistry& registry, FuseNode& node);
