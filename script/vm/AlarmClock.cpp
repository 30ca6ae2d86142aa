#include "script/vm/AlarmClock.h"

#include "script/vm/Interpreter.h"
#include "script/vm/Object.h"
#include "script/vm/Run.h"

#include <algorithm>
#include <cmath>

namespace zeb::script::vm {

namespace {

// Whole ticks until the alarm fires: the first tick whose elapsed time reaches the period.
std::uint64_t ticksFor(double seconds)
{
    constexpr double kMaxTicks = 1.0e9;
    const double ticks = std::ceil(seconds * 10.0 - 1e-6);
    if (!(ticks >= 1.0))
        return 1;
    return static_cast<std::uint64_t>(std::min(ticks, kMaxTicks));
}

Value objectAlarm(Interpreter&, const Value& self, const Arguments&)
{
    return self;
}

Value objectArmAlarm(Interpreter& in, const Value& self, const Arguments& args)
{
    in.machine().alarms().arm(in, self, args[0].numeric());
    return self;
}

Value objectStopAlarm(Interpreter& in, const Value& self, const Arguments&)
{
    in.machine().alarms().disarm(in.run(), self);
    return self;
}

} // namespace

AlarmClock::AlarmClock(Machine& machine)
    : m_machine(machine)
{
}

AlarmClock::~AlarmClock()
{
    {
        const std::lock_guard hold(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void AlarmClock::install(Machine& machine)
{
    ClassObject* object = machine.classes().object;
    object->define(SymbolTable::intern("alarm"), MethodEntry{objectAlarm});
    object->define(SymbolTable::intern("alarm:"), MethodEntry{objectArmAlarm});
    object->define(SymbolTable::intern("alarmStop"), MethodEntry{objectStopAlarm});
}

void AlarmClock::arm(Interpreter& armer, const Value& receiver, double seconds)
{
    Run* run = armer.run();
    if (run == nullptr)
        return;
    const std::lock_guard hold(m_mutex);
    auto alarm = std::find_if(m_alarms.begin(), m_alarms.end(), [&](const Alarm& candidate) {
        return candidate.run == run && candidate.receiver.identical(receiver);
    });
    if (alarm == m_alarms.end()) {
        if (m_alarms.size() >= kMaxAlarms)
            return;
        alarm = m_alarms.insert(m_alarms.end(), Alarm{run, receiver});
    }
    alarm->output = &armer.output();
    alarm->ticksNeeded = ticksFor(seconds);
    alarm->ticks = 0;
    alarm->armed = true;
    alarm->serial = ++m_lastSerial;
    if (m_ticking && !m_thread.joinable())
        m_thread = std::thread(&AlarmClock::loop, this);
}

void AlarmClock::disarm(const Run* run, const Value& receiver)
{
    const std::lock_guard hold(m_mutex);
    for (Alarm& alarm : m_alarms) {
        if (alarm.run == run && alarm.receiver.identical(receiver)) {
            alarm.armed = false;
            alarm.serial = ++m_lastSerial;
        }
    }
}

void AlarmClock::cancelAll(const Run* run)
{
    const std::lock_guard hold(m_mutex);
    std::erase_if(m_alarms, [run](const Alarm& alarm) { return alarm.run == run; });
}

void AlarmClock::loop()
{
    auto next = std::chrono::steady_clock::now() + kTick;
    std::unique_lock hold(m_mutex);
    while (!m_wake.wait_until(hold, next, [this] { return m_stopping; })) {
        // After a long delivery the clock goes on from now rather than catching up in a burst.
        next = std::max(next + kTick, std::chrono::steady_clock::now());
        hold.unlock();
        tick();
        hold.lock();
    }
}

void AlarmClock::tick()
{
    std::vector<Alarm> due;
    {
        const std::lock_guard hold(m_mutex);
        for (Alarm& alarm : m_alarms) {
            if (alarm.armed && ++alarm.ticks >= alarm.ticksNeeded) {
                alarm.armed = false;
                due.push_back(alarm);
            }
        }
    }
    // Delivered with the list's lock let go: a handler that arms again must not wait for it.
    for (const Alarm& alarm : due)
        deliver(alarm);
}

void AlarmClock::deliver(const Alarm& due)
{
    const std::lock_guard hold(m_machine.scriptLock());
    {
        // Cancelled, re-armed or its run ended since it was found due: nothing to send.
        const std::lock_guard list(m_mutex);
        const bool current = std::any_of(m_alarms.begin(), m_alarms.end(), [&due](const Alarm& alarm) {
            return alarm.run == due.run && alarm.serial == due.serial;
        });
        if (!current)
            return;
    }
    Interpreter interpreter(m_machine, *due.output, due.run->owner(), Interpreter::kThreadSize);
    interpreter.setRun(due.run);
    const RunThreads::Member member(due.run->threads(), interpreter);
    interpreter.send(due.receiver, SymbolTable::intern("alarm"));
}

} // namespace zeb::script::vm
