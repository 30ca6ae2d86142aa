#pragma once

#include "stream/StreamStatus.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace zeb::platform {
class WorkerThread;
}

namespace zeb::stream {

class IOSTStream;
struct StreamAddress;

// A transport: what moves a stream's bytes (serial port, socket, file, memory block). The
// stream owns it while it is open. Transports that run their own receive thread tell their
// stream through the upcalls below, which do nothing while the transport has no owner.
class StreamDevice
{
public:
    static constexpr std::size_t kErrorTextCapacity = 127;

    StreamDevice() = default;
    virtual ~StreamDevice() = default;

    StreamDevice(const StreamDevice&) = delete;
    StreamDevice& operator=(const StreamDevice&) = delete;

    // Opens with the settings of the record that belong to this transport.
    virtual StreamStatus open(const StreamAddress& address);
    virtual StreamStatus close() { return StreamStatus::NotSupported; }
    // Reads at most `maximum` bytes; `wait` asks to block until something has arrived.
    virtual std::size_t read(std::uint8_t* buffer, std::size_t maximum, bool wait);
    // Writes `count` bytes; transports that can fail transiently try `retries` more times,
    // `retryDelayMs` apart. Returns the bytes written.
    virtual std::size_t write(const std::uint8_t* bytes, std::size_t count, int retries, int retryDelayMs);
    // Rewinds a file, empties a queue.
    virtual StreamStatus rewind() { return StreamStatus::NotSupported; }
    virtual bool isOpen() const { return false; }
    // Bytes held, or the length of a file.
    virtual std::uint64_t size() const { return 0; }
    virtual bool endOfFile() const { return false; }
    virtual std::size_t bytesWaitingToBeSent() const { return 0; }
    // True when nothing more will ever be read (the blocking receive's end of input).
    virtual bool atEnd() const { return false; }
    // Waits for one transport event and handles it.
    virtual StreamStatus waitEvent() { return StreamStatus::NotOpen; }

    IOSTStream* owner() const { return m_owner.load(std::memory_order_acquire); }
    void setOwner(IOSTStream* owner) { m_owner.store(owner, std::memory_order_release); }

    // Destroys a detached transport. One whose own thread cannot be waited for from here (the
    // caller is that thread, or runs a handler of its notification) is left to that thread,
    // which destroys it as it ends.
    static void dispose(std::unique_ptr<StreamDevice> device);
    // Gives `self` to a thread of the transport that cannot be waited for from here; false
    // when no thread needs it.
    virtual bool handOffToOwnThread(std::unique_ptr<StreamDevice>& self);

    const std::string& errorText() const { return m_errorText; }
    std::uint32_t waitState() const { return m_waitState.load(); }
    void setWaitState(std::uint32_t state) { m_waitState.store(state); }

protected:
    static bool handOffTo(platform::WorkerThread* thread, std::unique_ptr<StreamDevice>& self);

    // Upcalls to the owning stream, for transports that receive on their own thread.
    void dataAvailable();
    void deliver(std::span<const std::uint8_t> bytes);
    void discardInput();
    void notifySent();
    void connectionReady();
    void notifyOpen();
    void notifyClose();

    // Keeps at most kErrorTextCapacity characters.
    void setErrorText(std::string_view text);

private:
    std::atomic<IOSTStream*> m_owner{nullptr};
    std::string m_errorText;
    std::atomic<std::uint32_t> m_waitState{1};
};

} // namespace zeb::stream
