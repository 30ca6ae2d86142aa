// What a run asks of the program that hosts it: the test document's window, or the command line.
// Every call comes from a script thread without the script lock held, and may block it.
#pragma once

#include "script/vm/Value.h"

#include <cstdint>
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
    // A script's push buttons, each named by an id unique in the process: created visible with
    // the caption "Toto" at 10,10 to 110,50 on the desktop, then shown and hidden. Calls naming
    // an id that does not exist (any more) do nothing.
    virtual void createButton(std::uint32_t id) { (void)id; }
    virtual void showButton(std::uint32_t id) { (void)id; }
    virtual void hideButton(std::uint32_t id) { (void)id; }
    // The one call made with the script lock held (a delete, the end of the run): it must not
    // wait for anything a script thread does, so a window host posts the work and returns.
    virtual void destroyButton(std::uint32_t id) { (void)id; }
};

} // namespace zeb::script::vm
