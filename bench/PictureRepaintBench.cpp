// The keyboard picture's paint cost: every key of the largest project (ZQ-3300 double, both
// sides: 112 keys) painted in full, with names as long as a key holds and with short ones; once
// as every repaint after the first is, and once as the first, when no key's image is made yet.
#include "model/KeyCell.h"
#include "model/Zq3300Keyboard.h"
#include "ui/KeyboardView.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

constexpr uint8_t kSides = 2;

// "Key 112" at seven characters; the long ones fill 64.
std::string NameOf(uint16_t number, bool isLong)
{
    std::string name = "Key " + std::to_string(number);
    if (isLong) {
        name = "Long legend of key " + std::to_string(number) + " for a point of sale with words";
        name.resize(64, '.');
    } else {
        name.resize(7, ' ');
    }
    return name;
}

std::unique_ptr<Keyboard> MakeProject(bool longNames)
{
    auto keyboard = std::make_unique<Zq3300Keyboard>(true, 1);
    uint16_t number = 0;
    for (uint8_t side = 1; side <= kSides; ++side) {
        for (uint16_t row = 1; row <= Zq3300Keyboard::kRows; ++row) {
            for (uint16_t column = 1; column <= Zq3300Keyboard::kColumns; ++column) {
                if (!keyboard->SetKeyTexts(NameOf(++number, longNames), "M1,S+,K0x04", column, row, side)) {
                    return nullptr;
                }
            }
        }
    }
    return keyboard;
}

struct Picture
{
    std::unique_ptr<Keyboard> keyboard;
    KeyboardView view{nullptr};
    QImage image;

    Picture(bool longNames, qreal pixelRatio) : keyboard(MakeProject(longNames))
    {
        if (keyboard) {
            view.SetKeyboard(keyboard.get());
            view.resize(view.sizeHint());
        }
        image = QImage(view.size() * pixelRatio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(pixelRatio);
    }
    void Paint(const QRegion& region = QRegion())
    {
        QPainter painter(&image);
        view.render(&painter, QPoint(), region);
    }
};

void FullRepaint(benchmark::State& state, bool longNames, qreal pixelRatio)
{
    Picture picture(longNames, pixelRatio);
    if (!picture.keyboard) {
        state.SkipWithError("the project refused its names");
        return;
    }
    for (auto _ : state) {
        for (uint8_t side = 1; side <= kSides; ++side) {
            picture.keyboard->SetCurrentLayout(side);
            picture.Paint();
        }
    }
    state.counters["keys"] = Zq3300Keyboard::kColumns * Zq3300Keyboard::kRows * kSides;
}

// A change of palette makes every key's image again.
void FirstRepaint(benchmark::State& state, bool longNames, qreal pixelRatio)
{
    Picture picture(longNames, pixelRatio);
    if (!picture.keyboard) {
        state.SkipWithError("the project refused its names");
        return;
    }
    QPalette palettes[2] = {picture.view.palette(), picture.view.palette()};
    palettes[1].setColor(QPalette::Window, Qt::darkGray);
    int flip = 0;
    for (auto _ : state) {
        state.PauseTiming();
        picture.view.setPalette(palettes[flip ^= 1]);
        state.ResumeTiming();
        for (uint8_t side = 1; side <= kSides; ++side) {
            picture.keyboard->SetCurrentLayout(side);
            picture.Paint();
        }
    }
}

void RegisterBenchmarks()
{
    for (const qreal ratio : {1.0, 2.0}) {
        for (const bool longNames : {true, false}) {
            const std::string name = std::string("FullRepaint/") +
                                     (longNames ? "64 characters" : "7 characters") + "/pixel ratio " +
                                     std::to_string(static_cast<int>(ratio));
            benchmark::RegisterBenchmark(name.c_str(), [longNames, ratio](benchmark::State& state) {
                FullRepaint(state, longNames, ratio);
            })->Unit(benchmark::kMicrosecond);
        }
    }
    for (const bool longNames : {true, false}) {
        const std::string name =
            std::string("FirstRepaint/") + (longNames ? "64 characters" : "7 characters") + "/pixel ratio 1";
        benchmark::RegisterBenchmark(name.c_str(), [longNames](benchmark::State& state) {
            FirstRepaint(state, longNames, 1.0);
        })->Unit(benchmark::kMicrosecond);
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    RegisterBenchmarks();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
