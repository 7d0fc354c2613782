#pragma once
// The camera's port: a tty (the USB camera's serial node or the virtual camera's
// pseudo-terminal) in raw mode, non-blocking, 9600 8N1 (the VISCA rate; the USB camera and
// the pseudo-terminal ignore it).
#include <cstdint>
#include <span>
#include <string>

// The descriptor, or -1 when path cannot be opened or is not a terminal. Pending input
// from before the open (stale reports) is discarded. baud: 9600, 19200, 38400 or 115200
// (a VISCA camera's adapter needs the rate it is set to; anything else is 9600).
int OpenSerialPort(const std::string& path, int baud = 9600);

// Writes every byte, waiting for room at most timeoutMs in all. False on error or time-out.
bool WriteAll(int fd, std::span<const std::uint8_t> bytes, int timeoutMs);
