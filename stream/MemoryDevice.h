#pragma once

#include "stream/StreamDevice.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zeb::stream {

// A block of memory as a transport, in one of two uses.
//
// As a queue (the socket transports keep their received bytes in one): write appends, read
// takes from the front, rewind empties it, size() is the count held.
//
// On a fixed block (stream type 6): read gives the block from its start onwards; the block
// cannot be written or grown. A stream address can only carry a 32-bit number, which cannot
// safely name memory, so blocks are lent under a key first and the record's buffer address
// holds the key; the record's size limits how much of the block is read.
//
// isOpen() is always false: a stream's send operations write nothing through this transport.
class MemoryDevice : public StreamDevice
{
public:
    MemoryDevice() = default;
    ~MemoryDevice() override;

    // Makes a block available to streams of type 6 under the returned key (never 0). The
    // block must stay alive and unchanged until it is withdrawn and no stream reads it.
    static std::uint32_t lendBlock(std::span<const std::uint8_t> block);
    static void withdrawBlock(std::uint32_t key);

    // Opens on the block lent under the record's buffer address; 58 when there is none.
    StreamStatus open(const StreamAddress& address) override;
    StreamStatus openFixed(std::span<const std::uint8_t> block);
    StreamStatus close() override;
    std::size_t read(std::uint8_t* buffer, std::size_t maximum, bool wait) override;
    std::size_t write(const std::uint8_t* bytes, std::size_t count, int retries, int retryDelayMs) override;
    StreamStatus rewind() override;
    bool isOpen() const override { return false; }
    std::uint64_t size() const override;
    bool atEnd() const override;

    // Makes room for `capacity` bytes; 53 on a fixed block.
    StreamStatus reserve(std::size_t capacity);
    bool isFixed() const { return m_fixed; }

private:
    std::vector<std::uint8_t> m_queue;
    std::span<const std::uint8_t> m_block;
    std::size_t m_position = 0;
    bool m_fixed = false;
};

} // namespace zeb::stream
