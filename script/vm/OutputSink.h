// Where a run's printed text goes: the output pane, standard output, or a test's string.
#pragma once

#include <string>
#include <string_view>

namespace zeb::script::vm {

class OutputSink
{
public:
    virtual ~OutputSink() = default;
    virtual void write(std::string_view text) = 0;
};

class StringSink : public OutputSink
{
public:
    void write(std::string_view text) override { m_text.append(text); }
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

} // namespace zeb::script::vm
