#pragma once
// One simulated speakerphone: it makes its tracking source appear (Attach), writes the
// direction byte its source carries (SetCode) and makes the source go away (Detach).
#include <cstdint>
#include <string>

class VirtualSpeakerphone
{
public:
    virtual ~VirtualSpeakerphone() = default;

    // False with a reason in error when the source cannot be made.
    virtual bool Attach(std::string* error) = 0;
    virtual void Detach() = 0;
    virtual bool IsAttached() const = 0;

    // The raw direction code of this model's source (0..5 a sector, 255 nobody).
    virtual void SetCode(std::uint8_t code) = 0;

    // The version text the speakerphone reports, where its source carries one.
    virtual void SetVersion(const std::string& version) {}
};
