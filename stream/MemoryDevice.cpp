#include "stream/MemoryDevice.h"

#include "stream/StreamAddress.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

namespace zeb::stream {

namespace {

struct LentBlocks
{
    std::mutex mutex;
    std::map<std::uint32_t, std::span<const std::uint8_t>> blocks;
    std::uint32_t nextKey = 1;
};

LentBlocks& lentBlocks()
{
    static LentBlocks table;
    return table;
}

} // namespace

MemoryDevice::~MemoryDevice() = default;

std::uint32_t MemoryDevice::lendBlock(std::span<const std::uint8_t> block)
{
    auto& table = lentBlocks();
    const std::lock_guard lock(table.mutex);
    std::uint32_t key = table.nextKey++;
    while (key == 0 || table.blocks.contains(key))
        key = table.nextKey++;
    table.blocks[key] = block;
    return key;
}

void MemoryDevice::withdrawBlock(std::uint32_t key)
{
    auto& table = lentBlocks();
    const std::lock_guard lock(table.mutex);
    table.blocks.erase(key);
}

StreamStatus MemoryDevice::open(const StreamAddress& address)
{
    std::span<const std::uint8_t> block;
    {
        auto& table = lentBlocks();
        const std::lock_guard lock(table.mutex);
        const auto found = table.blocks.find(address.buffer.address);
        if (found == table.blocks.end())
            return StreamStatus::OpenFailed;
        block = found->second;
    }
    return openFixed(block.first(std::min<std::size_t>(block.size(), address.buffer.size)));
}

StreamStatus MemoryDevice::openFixed(std::span<const std::uint8_t> block)
{
    m_queue.clear();
    m_block = block;
    m_position = 0;
    m_fixed = true;
    return StreamStatus::Ok;
}

StreamStatus MemoryDevice::close()
{
    m_queue.clear();
    m_block = {};
    m_position = 0;
    m_fixed = false;
    return StreamStatus::Ok;
}

std::size_t MemoryDevice::read(std::uint8_t* buffer, std::size_t maximum, bool)
{
    if (!buffer || maximum == 0)
        return 0;
    if (m_fixed) {
        const std::size_t count = std::min(maximum, m_block.size() - m_position);
        if (count > 0)
            std::memcpy(buffer, m_block.data() + m_position, count);
        m_position += count;
        return count;
    }
    const std::size_t count = std::min(maximum, m_queue.size());
    if (count == 0)
        return 0;
    std::memcpy(buffer, m_queue.data(), count);
    m_queue.erase(m_queue.begin(), m_queue.begin() + static_cast<std::ptrdiff_t>(count));
    return count;
}

std::size_t MemoryDevice::write(const std::uint8_t* bytes, std::size_t count, int, int)
{
    if (m_fixed || !bytes || count == 0)
        return 0;
    m_queue.insert(m_queue.end(), bytes, bytes + count);
    return count;
}

StreamStatus MemoryDevice::rewind()
{
    if (m_fixed)
        m_position = 0;
    else
        m_queue.clear();
    return StreamStatus::Ok;
}

std::uint64_t MemoryDevice::size() const
{
    return m_fixed ? m_block.size() - m_position : m_queue.size();
}

bool MemoryDevice::atEnd() const
{
    return m_fixed && m_position >= m_block.size();
}

StreamStatus MemoryDevice::reserve(std::size_t capacity)
{
    if (m_fixed)
        return StreamStatus::SendFailed;
    m_queue.reserve(capacity);
    return StreamStatus::Ok;
}

} // namespace zeb::stream
