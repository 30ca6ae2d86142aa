#pragma once

#include <cstdint>

namespace zeb::stream {

// Result of stream and transport operations; 0 is success. The values travel in reply frames
// between programs, so they never change.
enum class StreamStatus : std::uint8_t {
    Ok = 0,
    NoThread = 6, // a thread could not be created
    NotSupported = 23, // operation not supported by this transport
    CloseFailed = 51, // closing a file failed, or it was not open
    NoMoreEntries = 52, // no further directory entry
    SendFailed = 53, // a request could not be sent, or a fixed memory block cannot be written
    NotOpen = 54, // not open, closed by the far side, or configuration failed
    OpenFailed = 58, // unknown or refused address, transport not created or not opened
    TimedOut = 59, // no reply within the time limit
};

} // namespace zeb::stream
