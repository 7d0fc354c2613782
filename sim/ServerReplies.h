#pragma once
// The replies both camera models build the same way: every command runs at once, in socket 1.
#include "camera/ViscaFrame.h"
#include "sim/ViscaServer.h"

inline constexpr int kSocket = 1;

inline void Append(visca::Frame& to, const visca::Frame& frame)
{
    to.insert(to.end(), frame.begin(), frame.end());
}

// ACK and completion: a command that was carried out.
inline void Done(ServerOutput& out)
{
    Append(out.reply, visca::Ack(kSocket));
    Append(out.reply, visca::Completion(kSocket));
}
