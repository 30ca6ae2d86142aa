#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace zeb::tools::sim {

// A file that takes bytes up to a limit. What arrives past the limit, or after a write failed,
// is counted as dropped and not stored: the file ends with exactly what came first, and the
// sender is never held up by a full sink.
class ByteSink
{
public:
    explicit ByteSink(std::uint64_t limit);
    ~ByteSink();
    ByteSink(const ByteSink&) = delete;
    ByteSink& operator=(const ByteSink&) = delete;

    // Creates (or empties) the file; false with `error` set when it cannot.
    bool open(const std::filesystem::path& path, std::string& error);
    // Stores what fits below the limit, straight into the file so that a reader sees it while
    // the sink runs; returns the count stored.
    std::size_t store(std::string_view bytes);

    // No more bytes will be stored: the limit is reached or a write failed.
    bool closedForWriting() const { return m_stored >= m_limit || m_failed; }
    bool failed() const { return m_failed; }
    std::uint64_t stored() const { return m_stored; }
    std::uint64_t dropped() const { return m_dropped; }

private:
    std::uint64_t m_limit;
    std::FILE* m_file = nullptr;
    std::uint64_t m_stored = 0;
    std::uint64_t m_dropped = 0;
    bool m_failed = false;
};

} // namespace zeb::tools::sim
