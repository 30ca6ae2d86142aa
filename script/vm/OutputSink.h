// Where a run's printed text goes: the output pane, standard output, or a test's string.
// Script threads and alarms write from their own threads: a sink must take writes from any.
#pragma once

#include <mutex>
#include <string>
#include <string_view>

namespace zeb::script::vm {

class OutputSink
{
public:
    virtual ~OutputSink() = default;
    virtual void write(std::string_view text) = 0;
};

// Written by every thread of a run at once.
class StringSink : public OutputSink
{
public:
    void write(std::string_view text) override
    {
        const std::lock_guard hold(m_mutex);
        m_text.append(text);
    }
    std::string text() const
    {
        const std::lock_guard hold(m_mutex);
        return m_text;
    }

private:
    mutable std::mutex m_mutex;
    std::string m_text;
};

} // namespace zeb::script::vm
