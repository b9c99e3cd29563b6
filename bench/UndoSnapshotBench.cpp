// The editor's cost per action: one undo snapshot (TakeSnapshot) and one restore (RestoreSnapshot)
// of the largest ZQ-3300 projects, every key filled to its capacity and given a long name.
#include "editor/UndoHistory.h"
#include "keycodes/NumberFormat.h"
#include "model/KeyCell.h"
#include "model/Zq3300Keyboard.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <string>

namespace {

struct Variant
{
    const char* name;
    bool isDouble;
    uint8_t layoutsPerSide;
};

// Four layouts hold 8 codes a key, two layouts 16: both are the most a ZQ-3300 project holds.
constexpr Variant kVariants[] = {
    {"ZQ-3300 double, 4 layouts x 8 codes", true, 2},
    {"ZQ-3300 single, 2 layouts x 16 codes", false, 2},
};

std::string CodesOf(uint8_t count)
{
    std::string codes = "M1,S-";
    for (uint8_t i = 0; i < count; ++i) {
        // Letters, digits and the keys after them: plain usages of the keyboard page.
        codes += ",K" + FormatHex(0x04u + i, 1);
    }
    return codes;
}

// Null when a key refuses its programming.
std::unique_ptr<Keyboard> MakeFullProject(const Variant& variant)
{
    auto keyboard = std::make_unique<Zq3300Keyboard>(variant.isDouble, variant.layoutsPerSide);
    for (uint8_t layout = 1; layout <= keyboard->GetLayoutCount(); ++layout) {
        for (uint16_t row = 1; row <= Zq3300Keyboard::kRows; ++row) {
            for (uint16_t column = 1; column <= Zq3300Keyboard::kColumns; ++column) {
                KeyCell* cell = nullptr;
                if (!keyboard->GetCell(column, row, layout, &cell)) {
                    return nullptr;
                }
                const std::string name = "Long legend for the key in column " + std::to_string(column) +
                                         ", row " + std::to_string(row) + ", layout " +
                                         std::to_string(layout);
                if (!keyboard->SetKeyTexts(name, CodesOf(cell->GetCapacity()), column, row, layout) ||
                    cell->GetCodeCount() != cell->GetCapacity()) {
                    return nullptr;
                }
            }
        }
    }
    return keyboard;
}

void Take(benchmark::State& state, const Variant& variant)
{
    std::unique_ptr<Keyboard> keyboard = MakeFullProject(variant);
    if (!keyboard) {
        state.SkipWithError("the project refused its programming");
        return;
    }
    size_t bytes = 0;
    for (auto _ : state) {
        std::optional<ProjectSnapshot> snapshot = TakeSnapshot(*keyboard);
        if (!snapshot) {
            state.SkipWithError("no snapshot");
            return;
        }
        bytes = snapshot->text.size();
        benchmark::DoNotOptimize(snapshot);
    }
    state.counters["file_bytes"] = static_cast<double>(bytes);
}

void Restore(benchmark::State& state, const Variant& variant)
{
    std::unique_ptr<Keyboard> keyboard = MakeFullProject(variant);
    const std::optional<ProjectSnapshot> snapshot = keyboard ? TakeSnapshot(*keyboard) : std::nullopt;
    if (!snapshot) {
        state.SkipWithError("no snapshot");
        return;
    }
    for (auto _ : state) {
        std::unique_ptr<Keyboard> restored = RestoreSnapshot(*snapshot);
        if (!restored) {
            state.SkipWithError("the snapshot did not load back");
            return;
        }
        benchmark::DoNotOptimize(restored);
    }
    state.counters["file_bytes"] = static_cast<double>(snapshot->text.size());
}

void RegisterBenchmarks()
{
    // Wall clock: a snapshot through a file spends its time waiting for the disk, not computing.
    for (const Variant& variant : kVariants) {
        benchmark::RegisterBenchmark((std::string("TakeSnapshot/") + variant.name).c_str(),
                                     [&variant](benchmark::State& state) { Take(state, variant); })
            ->UseRealTime()
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("RestoreSnapshot/") + variant.name).c_str(),
                                     [&variant](benchmark::State& state) { Restore(state, variant); })
            ->UseRealTime()
            ->Unit(benchmark::kMicrosecond);
    }
}

const int Registered = (RegisterBenchmarks(), 0);

} // namespace
