#pragma once

#include "stream/IOSTStream.h"
#include "stream/StreamAddress.h"
#include "stream/StreamCallback.h"
#include "stream/StreamDevice.h"
#include "stream/StreamEvent.h"
#include "stream/StreamRegistry.h"
#include "testsupport/ByteText.h"
#include "testsupport/CaptureFiles.h"
#include "testsupport/EventJournal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::stream::testing {

using testsupport::Bytes;
using testsupport::bytesOf;
using testsupport::textOf;

// A binary frame as it goes over an escaping line: each inner byte from 0xFD up becomes 0xFD
// and its distance from 0xFD.
inline Bytes escapedFrame(std::span<const std::uint8_t> frame)
{
    Bytes wire{frame.front()};
    for (const std::uint8_t byte : frame.subspan(1, frame.size() - 2)) {
        if (byte >= 0xFD)
            wire.insert(wire.end(), {0xFD, static_cast<std::uint8_t>(byte - 0xFD)});
        else
            wire.push_back(byte);
    }
    wire.push_back(frame.back());
    return wire;
}

// Every capture of a folder, in name order, one after the other.
inline Bytes concatenatedCaptures(const std::string& folder, const std::string& extension)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(testsupport::captureFolder() / folder)) {
        if (entry.path().extension() == extension)
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    Bytes all;
    for (const auto& file : files) {
        const std::string bytes = testsupport::readFile(file);
        all.insert(all.end(), bytes.begin(), bytes.end());
    }
    return all;
}

// One message as a subscriber saw it, copied.
struct Seen
{
    messages::MessageKind kind = messages::MessageKind::Unknown;
    messages::MessageType type = messages::message_type::Other;
    std::string bytes;
    bool operator==(const Seen&) const = default;
};

inline void PrintTo(const Seen& seen, std::ostream* out)
{
    *out << messages::messageKindName(seen.kind) << '/' << seen.type << " \"" << seen.bytes << '"';
}

using Recorder = testsupport::EventJournal;

// A transport that is open from its open() on, records what is written and reads back what
// the test gives it. `acceptPerWrite` cuts writes short.
class ScriptedDevice : public StreamDevice
{
public:
    struct Log
    {
        Bytes written;
        std::vector<std::size_t> writeSizes;
        Bytes toRead;
        std::size_t acceptPerWrite = SIZE_MAX;
        int closes = 0;
        int destroyed = 0;
    };

    explicit ScriptedDevice(std::shared_ptr<Log> log)
        : m_log(std::move(log))
    {
    }
    ~ScriptedDevice() override { ++m_log->destroyed; }

    StreamStatus open(const StreamAddress&) override
    {
        m_open = true;
        return StreamStatus::Ok;
    }
    StreamStatus close() override
    {
        ++m_log->closes;
        m_open = false;
        return StreamStatus::Ok;
    }
    bool isOpen() const override { return m_open; }
    std::size_t write(const std::uint8_t* bytes, std::size_t count, int, int) override
    {
        const std::size_t taken = std::min(count, m_log->acceptPerWrite);
        m_log->writeSizes.push_back(count);
        m_log->written.insert(m_log->written.end(), bytes, bytes + taken);
        return taken;
    }
    std::size_t read(std::uint8_t* buffer, std::size_t maximum, bool) override
    {
        const std::size_t count = std::min(maximum, m_log->toRead.size());
        std::copy_n(m_log->toRead.begin(), count, buffer);
        m_log->toRead.erase(m_log->toRead.begin(), m_log->toRead.begin() + static_cast<std::ptrdiff_t>(count));
        return count;
    }
    bool atEnd() const override { return m_log->toRead.empty(); }

    // Lets the test play the transport's receive thread.
    void signalData() { dataAvailable(); }

private:
    std::shared_ptr<Log> m_log;
    bool m_open = false;
};

// Installs ScriptedDevice as the transport of a type for the life of the object.
class ScriptedTransport
{
public:
    explicit ScriptedTransport(StreamType type, bool escapeOnWrite)
        : m_type(type)
        , m_saved(StreamRegistry::instance().transportFactory(type))
    {
        auto log = m_log;
        StreamRegistry::instance().setTransportFactory(
            type, {[log] { return std::make_unique<ScriptedDevice>(log); }, escapeOnWrite});
    }
    ~ScriptedTransport() { StreamRegistry::instance().setTransportFactory(m_type, m_saved); }
    ScriptedTransport(const ScriptedTransport&) = delete;
    ScriptedTransport& operator=(const ScriptedTransport&) = delete;

    ScriptedDevice::Log& log() const { return *m_log; }

private:
    StreamType m_type;
    TransportFactory m_saved;
    std::shared_ptr<ScriptedDevice::Log> m_log = std::make_shared<ScriptedDevice::Log>();
};

inline StreamAddress addressOfType(StreamType type)
{
    StreamAddress address;
    address.type = type;
    return address;
}

} // namespace zeb::stream::testing
