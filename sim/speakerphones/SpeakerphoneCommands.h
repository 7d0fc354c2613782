#pragma once
// The simulator's speakerphone commands: speakerphone MODEL, talk DIRECTION, talk-code
// CODE, silence, speakerphone-version TEXT.
class CommandRegistry;
class SpeakerphoneSimulator;

void RegisterSpeakerphoneCommands(CommandRegistry& registry, SpeakerphoneSimulator& speakerphones);
