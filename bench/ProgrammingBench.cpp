// One programming of each USB keyboard type: how many reports it exchanges and the host time per
// report (wall clock), over the in-process fake keyboard and, when ZQ_SIMULATOR names zqsim
// sockets, over them too (zqsim started with the same vendor id, for example --vendor-id 0xFA2C).
#include "device/DeviceBackends.h"
#include "device/DeviceResult.h"
#include "device/FakeHidBackend.h"
#include "device/UsbProgramming.h"
#include "device/UsbVendorId.h"
#include "model/Zq2200Keyboard.h"
#include "model/Zq3300Keyboard.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

struct UsbType
{
    const char* name;
    std::function<std::unique_ptr<UsbKeyboard>()> make;
};

const std::vector<UsbType>& UsbTypes()
{
    static const std::vector<UsbType> types = {
        {"ZQ-2200", [] { return std::make_unique<Zq2200Keyboard>(3); }},
        {"ZQ-3300 single", [] { return std::make_unique<Zq3300Keyboard>(false, 2); }},
        {"ZQ-3300 double", [] { return std::make_unique<Zq3300Keyboard>(true, 2); }},
    };
    return types;
}

// A keyboard with room for every image: 0x1000 bytes from 0x0100, an 8-byte header.
void PrepareFake(FakeHidBackend& backend)
{
    for (uint16_t productId : {Zq2200Keyboard::kProductId, Zq3300Keyboard::kProductId}) {
        backend.AddInterface(
            {"fake" + std::to_string(productId), ZqUsbVendorId, productId, 137, HidInterfaceKind::Hid, ""});
    }
    backend.SetMemoryMap(1, 0x0100, 0x10FF);
    backend.Memory()[0x0100] = 8;
}

size_t CountReports(const UsbType& type)
{
    FakeHidBackend backend;
    PrepareFake(backend);
    HidAccess access;
    access.backend = &backend;
    auto keyboard = type.make();
    ApplyVendorId(*keyboard, ZqUsbVendorId);
    return ProgramUsbKeyboard(*keyboard, nullptr, access) == DeviceResultOk ? backend.Reports().size() : 0;
}

void ReportCounters(benchmark::State& state, size_t reports)
{
    state.counters["reports"] = static_cast<double>(reports);
    state.counters["time_per_report"] =
        benchmark::Counter(static_cast<double>(reports * state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void ProgramOverFake(benchmark::State& state, const UsbType& type)
{
    FakeHidBackend backend;
    PrepareFake(backend);
    HidAccess access;
    access.backend = &backend;
    auto keyboard = type.make();
    ApplyVendorId(*keyboard, ZqUsbVendorId);
    size_t reports = 0;
    for (auto _ : state) {
        backend.ClearReports();
        if (ProgramUsbKeyboard(*keyboard, nullptr, access) != DeviceResultOk) {
            state.SkipWithError("programming failed");
            return;
        }
        reports = backend.Reports().size();
    }
    ReportCounters(state, reports);
}

// zqsim counts nothing for us: the protocol is the same, so the fake's count holds.
void ProgramOverSockets(benchmark::State& state, const UsbType& type, uint16_t vendorId)
{
    auto keyboard = type.make();
    ApplyVendorId(*keyboard, vendorId);
    const size_t reports = CountReports(type);
    for (auto _ : state) {
        if (ProgramUsbKeyboard(*keyboard, nullptr) != DeviceResultOk) {
            state.SkipWithError(("programming failed: " + keyboard->GetErrorText()).c_str());
            return;
        }
    }
    ReportCounters(state, reports);
}

// The vendor id of the first simulated HID interface with this product id, 0 when there is none.
uint16_t FindSimulatedVendorId(uint16_t productId)
{
    std::vector<HidInterfaceInfo> interfaces;
    auto backend = CreateHidBackend();
    if (!backend->Enumerate(interfaces)) {
        return 0;
    }
    for (const HidInterfaceInfo& info : interfaces) {
        if (info.kind == HidInterfaceKind::Hid && info.productId == productId &&
            info.featureReportByteLength != 0) {
            return info.vendorId;
        }
    }
    return 0;
}

void RegisterBenchmarks()
{
    const bool sockets = std::getenv(SimulatorVariable) != nullptr;
    for (const UsbType& type : UsbTypes()) {
        benchmark::RegisterBenchmark((std::string("Program/fake/") + type.name).c_str(),
                                     [&type](benchmark::State& state) { ProgramOverFake(state, type); })
            ->UseRealTime();
        if (!sockets) {
            continue;
        }
        const uint16_t vendorId = FindSimulatedVendorId(type.make()->GetProductId());
        if (vendorId != 0) {
            benchmark::RegisterBenchmark(
                (std::string("Program/zqsim/") + type.name).c_str(),
                [&type, vendorId](benchmark::State& state) { ProgramOverSockets(state, type, vendorId); })
                ->UseRealTime();
        }
    }
}

const int Registered = (RegisterBenchmarks(), 0);

} // namespace
