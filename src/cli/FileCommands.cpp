// The commands that work on project files only: types, new, check, convert, image.
#include "cli/CliCommands.h"
#include "cli/CliProject.h"

#include "device/DeviceResult.h"
#include "device/LegacyProgramming.h"
#include "device/UsbProgramming.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/LegacyKeyboard.h"
#include "model/UsbKeyboard.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// The image of a USB project is what Program writes for data format version 1.
constexpr uint8_t kUsbImageFormatVersion = 1;
// The room Program builds either family's image in.
constexpr size_t kImageBufferSize = std::max(kLegacyImageBufferSize, UsbMemory::kImageBufferSize);
constexpr uint8_t kLastLegacyKeyboardVersion = 2;

void PrintOverview(Keyboard& keyboard)
{
    std::printf("type\t%u\t%s\n", keyboard.GetTypeId(), keyboard.GetTypeName().c_str());
    for (uint8_t item = 1; item <= keyboard.GetConversionCount(); ++item) {
        std::string title;
        if (keyboard.GetConversionTitle(item, &title)) {
            std::printf("conversion\t%u\t%s\n", item, title.c_str());
        }
    }
}

int ApplyConversion(std::unique_ptr<Keyboard>& keyboard, uint8_t item, bool force)
{
    std::string text;
    if (!keyboard->GetConversionTitle(item, &text)) {
        PrintMessage("zqtool: conversion " + std::to_string(item) + " is not offered for " +
                     keyboard->GetTypeName() + "; 'zqtool check FILE' lists the offered ones");
        return ExitConversionRefused;
    }
    if (keyboard->GetConversionWarning(item, &text) && !force) {
        PrintMessage(text);
        PrintMessage("zqtool: conversion " + std::to_string(item) + " refused; --force carries it out");
        return ExitConversionRefused;
    }
    bool changedInPlace = false;
    std::unique_ptr<Keyboard> converted = keyboard->Convert(item, &changedInPlace);
    if (converted) {
        keyboard = std::move(converted);
    } else if (!changedInPlace) {
        PrintMessage("zqtool: conversion " + std::to_string(item) + " did not change the project");
        return ExitConversionRefused;
    }
    return ExitOk;
}

int BuildImage(Keyboard& keyboard, const CliArguments& arguments, std::vector<uint8_t>& image)
{
    image.assign(kImageBufferSize, 0);
    size_t size = image.size();
    int result = DeviceResultNotSupported;
    if (auto* legacy = dynamic_cast<LegacyKeyboard*>(&keyboard)) {
        uint8_t version = arguments.keyboardVersion;
        if (!arguments.hasKeyboardVersion) {
            const LegacyImageLayout* layout = FindLegacyImageLayout(legacy->GetTypeCode(0, true));
            version = layout != nullptr ? layout->requiredVersion : 0;
        }
        // Programming refuses such a keyboard before building anything; so does the image.
        result = version > kLastLegacyKeyboardVersion
                     ? DeviceResultUnsupportedVersion
                     : legacy->BuildDeviceImage(version, image.data(), &size);
    } else if (auto* usb = dynamic_cast<UsbKeyboard*>(&keyboard)) {
        if (arguments.hasKeyboardVersion) {
            PrintUsageError("--keyboard-version applies to ZQ-1100 projects only",
                            GetUsageLine(CliCommand::Image));
            return ExitUsage;
        }
        result = usb->BuildDeviceImage(image.data(), &size, kUsbImageFormatVersion);
    }
    if (result != DeviceResultOk) {
        PrintMessage(FormatDeviceMessage(result, keyboard.GetErrorText()));
        return result;
    }
    image.resize(size < image.size() ? size : image.size());
    return ExitOk;
}

} // namespace

int RunTypes(const CliArguments& /*arguments*/)
{
    for (uint8_t id = 0; id < GetKeyboardTypeCount(); ++id) {
        std::string name;
        GetKeyboardTypeName(id, &name);
        std::printf("%u\t%s\n", id, name.c_str());
    }
    return ExitOk;
}

int RunNew(const CliArguments& arguments)
{
    uint8_t id = 0;
    if (!ResolveKeyboardType(arguments.operands[0], id)) {
        return PrintUsageError("unknown keyboard type '" + arguments.operands[0] +
                                   "'; 'zqtool types' lists them",
                               GetUsageLine(CliCommand::New));
    }
    std::unique_ptr<Keyboard> keyboard = CreateKeyboard(id);
    if (!keyboard) {
        PrintMessage(LoadText(IDS_MSG_UNKNOWN_FORMAT));
        return ExitUnknownFormat;
    }
    if (arguments.hasFormat && !CheckFormat(*keyboard, arguments.format, GetUsageLine(CliCommand::New))) {
        return ExitUsage;
    }
    return SaveProject(*keyboard, arguments.output, arguments.format);
}

int RunCheck(const CliArguments& arguments)
{
    OpenedProject project;
    uint8_t format = 0;
    const int status = OpenProject(arguments.operands[0], project, format);
    if (project.keyboard) {
        PrintOverview(*project.keyboard);
    }
    return status;
}

int RunConvert(const CliArguments& arguments)
{
    OpenedProject project;
    uint8_t format = 0;
    const int status = OpenProject(arguments.operands[0], project, format);
    if (status != ExitOk) {
        return status;
    }
    for (uint8_t item : arguments.items) {
        const int converted = ApplyConversion(project.keyboard, item, arguments.force);
        if (converted != ExitOk) {
            return converted;
        }
    }
    // A converted project is saved in its new type's own format: the one it was read in may not
    // describe it any more (a ZQ-1100 v1 file holding a v2 project cannot be read again).
    uint8_t saveFormat = arguments.items.empty() ? format : 0;
    if (arguments.hasFormat) {
        if (!CheckFormat(*project.keyboard, arguments.format, GetUsageLine(CliCommand::Convert))) {
            return ExitUsage;
        }
        saveFormat = arguments.format;
    }
    return SaveProject(*project.keyboard, arguments.output, saveFormat);
}

int RunImage(const CliArguments& arguments)
{
    OpenedProject project;
    uint8_t format = 0;
    const int status = OpenProject(arguments.operands[0], project, format);
    if (status != ExitOk) {
        return status;
    }
    std::vector<uint8_t> image;
    const int result = BuildImage(*project.keyboard, arguments, image);
    if (result != ExitOk) {
        return result;
    }
    return SaveBytes(arguments.output, image.data(), image.size());
}
