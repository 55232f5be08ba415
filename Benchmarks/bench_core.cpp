#include "Logic/HyperKeyStateMachine.h"
#include "Logic/KeyboardGrid.h"
#include "Logic/NameMatch.h"
#include "Model/HyperKeyTrigger.h"
#include "Model/KeyBindingList.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

using namespace Qt::StringLiterals;

// Counts heap allocations so the key path can show it makes none.
namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept
{
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace {

QList<KeyBinding> fortyEightBindings()
{
    QList<KeyBinding> bindings;
    const QDateTime created = QDateTime::currentDateTimeUtc();
    for (PhysicalKeyCode code : KeyboardGrid::keyCodes())
        bindings.append(
            KeyBinding{QUuid::createUuid(), BoundKey{code, KeyboardGrid::qwertyLabels().value(code)},
                       u"com.example.app%1"_s.arg(code), u"Application %1"_s.arg(code), created, 0});
    return bindings;
}

// Typing, hyper chords on bound and unbound keys, taps and double taps.
QList<RawKeyEvent> realisticStream()
{
    constexpr PhysicalKeyCode trigger = HyperKeyTrigger::virtualKeyCode;
    const auto down = [](PhysicalKeyCode code, bool isRepeat = false) {
        return RawKeyEvent{code, RawKeyEventKind::keyDown, isRepeat};
    };
    const auto up = [](PhysicalKeyCode code) { return RawKeyEvent{code, RawKeyEventKind::keyUp, false}; };

    QList<RawKeyEvent> stream;
    for (PhysicalKeyCode code : {4, 14, 37, 37, 31, 49, 13, 31, 15, 37, 2}) { // "hello world"
        stream.append(down(code));
        stream.append(up(code));
    }
    stream.append({down(trigger), down(38), down(38, true), up(38), up(trigger)});   // bound chord
    stream.append({down(trigger), down(122), up(122), down(1), up(1), up(trigger)}); // unbound, then bound
    stream.append({down(trigger), up(trigger), down(trigger), up(trigger)});         // double tap
    stream.append({down(trigger), down(trigger, true), up(trigger)});                // tap with repeats
    return stream;
}

void BM_HyperKeyStateMachineHandle(benchmark::State& state)
{
    const BindingLookupTable table = KeyBindingList::lookupTable(fortyEightBindings(), 36, 49);
    double clock = 0;
    HyperKeyStateMachine machine(
        HyperKeyTrigger::virtualKeyCode, [] { return true; }, [] { return true; }, 0.5,
        [&clock] { return clock; }, [](bool) {},
        [&table](PhysicalKeyCode code) -> std::optional<HyperKeyAction> {
            const auto found = table.constFind(code);
            if (found == table.constEnd())
                return std::nullopt;
            return *found;
        });
    const QList<RawKeyEvent> stream = realisticStream();

    // Warm up, then count only the steady state.
    for (const RawKeyEvent& event : stream)
        benchmark::DoNotOptimize(machine.handle(event));
    const long allocationsBefore = allocations.load();
    for (auto _ : state) {
        for (const RawKeyEvent& event : stream)
            benchmark::DoNotOptimize(machine.handle(event));
        clock += 1.0; // keep taps of successive rounds apart
    }
    const double events = double(state.iterations()) * double(stream.size());
    state.SetItemsProcessed(int64_t(events));
    state.counters["ns/event"] =
        benchmark::Counter(events, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["allocs/event"] = double(allocations.load() - allocationsBefore) / events;
}
BENCHMARK(BM_HyperKeyStateMachineHandle);

void BM_LookupTable48(benchmark::State& state)
{
    const QList<KeyBinding> bindings = fortyEightBindings();
    for (auto _ : state)
        benchmark::DoNotOptimize(KeyBindingList::lookupTable(bindings, 36, 49));
}
BENCHMARK(BM_LookupTable48);

void BM_NameMatchOver48Names(benchmark::State& state)
{
    QStringList names;
    for (const KeyBinding& binding : fortyEightBindings())
        names.append(binding.appName);
    names[0] = u"Visual Studio Code"_s;
    names[1] = u"Café Société"_s;
    for (auto _ : state) {
        for (const QString& name : names)
            benchmark::DoNotOptimize(NameMatch::offsets(u"vsc"_s, name));
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * names.size());
}
BENCHMARK(BM_NameMatchOver48Names);

} // namespace
