// One programming of each USB keyboard type, with and without reading it back: how many reports
// it exchanges and the host time per report and per programming (wall clock), over the in-process
// fake keyboard and, when ZQ_SIMULATOR names zqsim sockets, over them too (zqsim started with the
// same vendor id, for example --vendor-id 0xFA2C). And the ZQ-1100's pacing: a v2 double image of
// 2022 bytes, its time against bytes x 3 ms ("pace_ratio"), over an in-process driver and, when
// ZQ_SIMULATOR names a zqsim legacy driver answering version 2, over it.
#include "device/DeviceBackends.h"
#include "device/DeviceResult.h"
#include "device/FakeHidBackend.h"
#include "device/FakeLegacyDriver.h"
#include "device/LegacyProgramming.h"
#include "device/UsbProgramming.h"
#include "device/UsbVendorId.h"
#include "model/LegacyKeyboard.h"
#include "model/Zq2200Keyboard.h"
#include "model/Zq3300Keyboard.h"

#include <benchmark/benchmark.h>

#include <chrono>
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
            {"fake" + std::to_string(productId), kZqUsbVendorId, productId, 137, HidInterfaceKind::Hid, ""});
    }
    backend.SetMemoryMap(1, 0x0100, 0x10FF);
    backend.Memory()[0x0100] = 8;
}

size_t CountReports(const UsbType& type, bool verify)
{
    FakeHidBackend backend;
    PrepareFake(backend);
    HidAccess access;
    access.backend = &backend;
    auto keyboard = type.make();
    ApplyVendorId(*keyboard, kZqUsbVendorId);
    keyboard->SetVerifyAfterProgramming(verify);
    return ProgramUsbKeyboard(*keyboard, nullptr, access) == DeviceResultOk ? backend.Reports().size() : 0;
}

void ReportCounters(benchmark::State& state, size_t reports)
{
    state.counters["reports"] = static_cast<double>(reports);
    state.counters["time_per_report"] =
        benchmark::Counter(static_cast<double>(reports * state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void ProgramOverFake(benchmark::State& state, const UsbType& type, bool verify)
{
    FakeHidBackend backend;
    PrepareFake(backend);
    HidAccess access;
    access.backend = &backend;
    auto keyboard = type.make();
    ApplyVendorId(*keyboard, kZqUsbVendorId);
    keyboard->SetVerifyAfterProgramming(verify);
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
void ProgramOverSockets(benchmark::State& state, const UsbType& type, uint16_t vendorId, bool verify)
{
    auto keyboard = type.make();
    ApplyVendorId(*keyboard, vendorId);
    keyboard->SetVerifyAfterProgramming(verify);
    const size_t reports = CountReports(type, verify);
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

constexpr uint8_t LegacyKeyboardVersion = 2; // v2 double: the longest image, 2022 bytes

// The time of each programming against its bytes at the keyboard's pace.
void ReportPace(benchmark::State& state, std::chrono::nanoseconds spent, size_t bytes)
{
    const auto paced = std::chrono::duration<double>(kLegacyBytePace) * static_cast<double>(bytes);
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["pace_ratio"] = std::chrono::duration<double>(spent).count() /
                                   (paced.count() * static_cast<double>(state.iterations()));
}

void ProgramLegacy(benchmark::State& state, bool sockets)
{
    LegacyKeyboard keyboard(true, true, true);
    FakeLegacyDriver fake;
    fake.SetVersionAnswer(LegacyKeyboardVersion);
    std::vector<uint8_t> image(kLegacyImageBufferSize);
    size_t bytes = image.size();
    std::string buildText;
    if (BuildLegacyDeviceImage(keyboard, LegacyKeyboardVersion, image.data(), &bytes, buildText) != 0) {
        state.SkipWithError("no image");
        return;
    }
    std::chrono::nanoseconds spent{0};
    for (auto _ : state) {
        std::string errorText;
        const auto start = std::chrono::steady_clock::now();
        const int result = sockets ? ProgramLegacyKeyboard(keyboard, nullptr, errorText)
                                   : ProgramLegacyKeyboard(keyboard, fake, nullptr, errorText);
        spent += std::chrono::steady_clock::now() - start;
        if (result != DeviceResultOk) {
            state.SkipWithError(("programming failed: " + GetResultMessage(result)).c_str());
            return;
        }
    }
    ReportPace(state, spent, bytes);
}

bool HasSimulatedLegacyDriver()
{
    std::vector<HidInterfaceInfo> interfaces;
    auto backend = CreateHidBackend();
    if (!backend->Enumerate(interfaces)) {
        return false;
    }
    for (const HidInterfaceInfo& info : interfaces) {
        if (info.kind == HidInterfaceKind::LegacyDriver) {
            return true;
        }
    }
    return false;
}

void RegisterBenchmarks()
{
    const bool sockets = std::getenv(kSimulatorVariable) != nullptr;
    for (const UsbType& type : UsbTypes()) {
        for (const bool verify : {false, true}) {
            const std::string kind = verify ? "ProgramVerified" : "Program";
            benchmark::RegisterBenchmark((kind + "/fake/" + type.name).c_str(), [&type, verify](
                                                                                    benchmark::State& state) {
                ProgramOverFake(state, type, verify);
            })->UseRealTime();
            if (!sockets) {
                continue;
            }
            const uint16_t vendorId = FindSimulatedVendorId(type.make()->GetProductId());
            if (vendorId != 0) {
                benchmark::RegisterBenchmark((kind + "/zqsim/" + type.name).c_str(),
                                             [&type, vendorId, verify](benchmark::State& state) {
                                                 ProgramOverSockets(state, type, vendorId, verify);
                                             })
                    ->UseRealTime();
            }
        }
    }
    // Six seconds a programming: a few are enough.
    benchmark::RegisterBenchmark("ProgramLegacy/fake/ZQ-1100 v2 double",
                                 [](benchmark::State& state) { ProgramLegacy(state, false); })
        ->UseRealTime()
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond);
    if (sockets && HasSimulatedLegacyDriver()) {
        benchmark::RegisterBenchmark("ProgramLegacy/zqsim/ZQ-1100 v2 double",
                                     [](benchmark::State& state) { ProgramLegacy(state, true); })
            ->UseRealTime()
            ->Iterations(3)
            ->Unit(benchmark::kMillisecond);
    }
}

const int Registered = (RegisterBenchmarks(), 0);

} // namespace
