// What a script prints, on its way from the script thread to the window's Output pane.
#pragma once

#include "script/vm/OutputSink.h"

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace zeb::autotest {

// The script thread never waits for the window: text is queued and the window is woken once
// per batch. The queue is bounded: a script printing in a loop faster than the window shows it
// loses its oldest lines, never memory.
class OutputQueue : public script::vm::OutputSink
{
public:
    static constexpr std::size_t kMaxPending = std::size_t{1} << 20;

    // Called (from the writing thread) when text arrives in an empty queue.
    using Wake = std::function<void()>;
    explicit OutputQueue(Wake wake = {});

    void write(std::string_view text) override;
    // Takes the queued text (window thread).
    std::string take();
    // Drops what waits: the pane is being cleared.
    void discard();
    std::size_t pending() const;

private:
    mutable std::mutex m_mutex;
    Wake m_wake;
    std::string m_text;
};

} // namespace zeb::autotest
