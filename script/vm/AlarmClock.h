// One-shot alarms of a machine's objects: "alarm:" arms one, "alarmStop" cancels it, and the
// clock's own thread sends "alarm" to the receiver once its time has passed. Time is counted in
// whole ticks of 100 ms, so an alarm of 0.25 s fires on the third tick.
#pragma once

#include "script/vm/Value.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace zeb::script::vm {

class Interpreter;
class Machine;
class OutputSink;
class Run;

class AlarmClock
{
public:
    static constexpr std::chrono::milliseconds kTick{100};
    // Alarms armed at once in a machine; arming more does nothing.
    static constexpr std::size_t kMaxAlarms = 1u << 16;

    explicit AlarmClock(Machine& machine);
    ~AlarmClock();
    AlarmClock(const AlarmClock&) = delete;
    AlarmClock& operator=(const AlarmClock&) = delete;

    // Object's "alarm:", "alarmStop" and "alarm".
    static void install(Machine& machine);

    // With the script lock held. Arms receiver's alarm, or re-arms it, for the arming thread's
    // run; its "alarm" prints to that thread's output.
    void arm(Interpreter& armer, const Value& receiver, double seconds);
    void disarm(const Run* run, const Value& receiver);
    // With the script lock held, when the run ends: none of its alarms fires any more.
    void cancelAll(const Run* run);

    // From now on counts only the ticks given to tick() (tests); before the first alarm.
    void setManual() { m_ticking = false; }
    // One tick: counts it on every armed alarm and sends "alarm" for those due, one after the
    // other, each with the script lock held. Called without the script lock.
    void tick();

private:
    struct Alarm
    {
        Run* run = nullptr;
        Value receiver;
        OutputSink* output = nullptr;
        std::uint64_t ticksNeeded = 1;
        std::uint64_t ticks = 0;
        bool armed = false;
        std::uint64_t serial = 0; // changes at every arming and cancel
    };

    void loop();
    void deliver(const Alarm& due);

    Machine& m_machine;
    bool m_ticking = true;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<Alarm> m_alarms;
    std::uint64_t m_lastSerial = 0;
    bool m_stopping = false;
    std::thread m_thread; // started at the first alarm
};

} // namespace zeb::script::vm
