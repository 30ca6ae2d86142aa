#include "ByteSink.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zeb::tools::sim {

ByteSink::ByteSink(std::uint64_t limit)
    : m_limit(limit)
{
}

ByteSink::~ByteSink()
{
    if (m_file)
        std::fclose(m_file);
}

bool ByteSink::open(const std::filesystem::path& path, std::string& error)
{
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file) {
        error = path.string() + ": " + std::strerror(errno);
        return false;
    }
    // Unbuffered, so that what a write reports is what the file holds.
    std::setvbuf(m_file, nullptr, _IONBF, 0);
    return true;
}

std::size_t ByteSink::store(std::string_view bytes)
{
    std::size_t take = 0;
    if (m_file && !closedForWriting())
        take = static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), m_limit - m_stored));
    // Only what reached the file counts as stored; a short write ends storing for good.
    const std::size_t written = take > 0 ? std::fwrite(bytes.data(), 1, take, m_file) : 0;
    if (written < take)
        m_failed = true;
    m_stored += written;
    m_dropped += bytes.size() - written;
    return written;
}

} // namespace zeb::tools::sim
