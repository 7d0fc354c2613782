#pragma once
// The virtual camera's console commands: attach, detach, stand, version, garble, mute,
// unmute, status.
#include "sim/CommandRegistry.h"

class VirtualCamera;

void RegisterCameraCommands(CommandRegistry& registry, VirtualCamera& camera);
