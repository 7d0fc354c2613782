#pragma once
// The simulator's speakerphones: one model at a time is attached, and a talker is played by
// direction. Directions are 0..5 as the controller posts them; each model's source gets
// them in its own code (the MZC QVT-40S record uses 0, 2, 3, 5, 6, 7 for its six sectors).
#include "sim/speakerphones/VirtualSpeakerphone.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class MicArraySpeakerphone;

enum class SpeakerphoneModel { None, Qvt40S, Qvt90UX, Qvt18TR, Mzc40S, Mzc90X, MicArray };

// "none", "40s", "90ux", "18tr", "mzc-40s", "mzc-90x", "micarray" (any letter case).
std::optional<SpeakerphoneModel> ParseSpeakerphoneModel(const std::string& text);

// The source code of talker direction 0..5 for model.
std::uint8_t SpeakerphoneCode(SpeakerphoneModel model, int direction);

// For a signal handler that ends the simulator at once: removes the device file link and
// the QVT-90UX record of the last SpeakerphoneSimulator made, so that neither points at a
// dead simulator (a pseudo-terminal's number is soon reused). Async-signal-safe.
void RemoveSpeakerphonePathsOnSignal();

class SpeakerphoneSimulator
{
public:
    // Sources at the places the program looks (environment, runtime folder).
    SpeakerphoneSimulator();
    ~SpeakerphoneSimulator();

    // Detaches the current model and attaches model, silent. False with error when the
    // new model's source cannot be made (no model is attached then).
    bool Select(SpeakerphoneModel model, std::string* error);
    SpeakerphoneModel Model() const { return m_model; }

    // False when direction is not 0..5.
    bool Talk(int direction);
    void TalkCode(std::uint8_t code);  // a raw code, for codes the models give no name
    void Silence();
    // The QVT-90UX's version text; kept for when it is attached later.
    void SetVersion(const std::string& version);

    VirtualSpeakerphone* Current() const;
    MicArraySpeakerphone& MicArray() const { return *m_micArray; }

private:
    VirtualSpeakerphone* For(SpeakerphoneModel model) const;

    SpeakerphoneModel m_model = SpeakerphoneModel::None;
    std::unique_ptr<VirtualSpeakerphone> m_40S, m_90UX, m_18TR, m_mzc40S, m_mzc90X;
    std::unique_ptr<MicArraySpeakerphone> m_micArray;
};
