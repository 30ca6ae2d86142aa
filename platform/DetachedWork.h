#pragma once

#include <chrono>
#include <cstddef>

namespace zeb::platform {

// Work that runs on a detached thread nobody joins (a connection attempt whose owner gave up,
// for instance) may still be closing what it opened when main() returns. It must not run on
// into the destruction of the program's static objects. Such work holds a Token while it
// runs; a program settles before it exits.
class DetachedWork
{
public:
    class Token
    {
    public:
        Token();
        ~Token();
        Token(Token&& other) noexcept;
        Token& operator=(Token&&) = delete;
        Token(const Token&) = delete;
        Token& operator=(const Token&) = delete;

    private:
        bool m_held = true;
    };

    // Tokens alive in the whole process.
    static std::size_t pending();

    // Waits up to `limit` for every token and every handed-off worker thread to end, and then
    // gives back `code` for main() to return. When some work is still running by then, the
    // process ends at once with `code` (standard streams flushed, no static destruction).
    static int settleBeforeExit(int code, std::chrono::milliseconds limit);
};

} // namespace zeb::platform
