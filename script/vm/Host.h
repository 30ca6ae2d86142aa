// What a run asks of the program that hosts it: the test document's window, or the command line.
// Every call comes from a script thread without the script lock held, and may block it.
#pragma once

#include "script/vm/Value.h"

#include <string_view>

namespace zeb::script::vm {

class Host
{
public:
    virtual ~Host() = default;

    // A thread subscribed with the window value it was given has ended (once per thread).
    virtual void threadDone(std::int64_t window, const Value& thread)
    {
        (void)window;
        (void)thread;
    }
    // Message boxes a script shows; without a window nothing is shown and question answers No.
    virtual void alert(std::string_view text) { (void)text; }
    virtual void notify(std::string_view text) { (void)text; }
    virtual bool question(std::string_view text)
    {
        (void)text;
        return false;
    }
};

} // namespace zeb::script::vm
