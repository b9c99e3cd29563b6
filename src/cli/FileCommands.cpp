// The commands that work on project files only: types, new, check, convert, image.
#include "cli/CliCommands.h"
#include "cli/CliProject.h"

#include "device/DeviceResult.h"
#include "device/LegacyProgramming.h"
#include "device/UsbProgramming.h"
#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"
#include "model/ConversionLoss.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/LegacyKeyboard.h"
#include "model/UsbKeyboard.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
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
            std::printf("conversion\t%u\t%s%s\n", item, title.c_str(),
                        keyboard.GetConversionWarning(item, nullptr) ? "\tloses data" : "");
        }
    }
}

std::string Plural(uint32_t count, const char* word)
{
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

// Tells a forced conversion's user what the project lost.
void PrintDropped(uint8_t item, const ConversionLoss& loss)
{
    const std::string head = "zqtool: conversion " + std::to_string(item) + " ";
    if (loss.layoutsAfter < loss.layoutsBefore) {
        PrintMessage(head + "dropped " + Plural(loss.layoutsBefore - loss.layoutsAfter, "layout") + " (" +
                     std::to_string(loss.layoutsBefore) + " to " + std::to_string(loss.layoutsAfter) + ")");
    }
    if (loss.keysCut != 0) {
        PrintMessage(head + "cut " + Plural(loss.keysCut, "key") + " to " + std::to_string(loss.capacity) +
                     " codes");
    }
    if (loss.keysCleared != 0) {
        PrintMessage(head + "cleared " + Plural(loss.keysCleared, "key") + " with codes");
    }
    if (loss.codesDropped != 0) {
        PrintMessage(head + "dropped " + Plural(loss.codesDropped, "code") + " in all");
    }
    if (loss.IsEmpty()) {
        PrintMessage(head + "dropped nothing this project held");
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
    const bool losesData = keyboard->GetConversionWarning(item, nullptr);
    if (losesData && !force) {
        PrintMessage("zqtool: conversion " + std::to_string(item) + " loses data; use --force");
        return ExitConversionRefused;
    }
    // What goes is counted on a copy before the project itself changes.
    const std::optional<ConversionLoss> loss =
        losesData ? PredictConversionLoss(*keyboard, item) : std::nullopt;
    bool changedInPlace = false;
    std::unique_ptr<Keyboard> converted = keyboard->Convert(item, &changedInPlace);
    if (converted) {
        keyboard = std::move(converted);
    } else if (!changedInPlace) {
        PrintMessage("zqtool: conversion " + std::to_string(item) + " did not change the project");
        return ExitConversionRefused;
    }
    if (loss) {
        PrintDropped(item, *loss);
    }
    return ExitOk;
}

const char* const kOutcomeNames[] = {"opened", "cannot-open", "unknown-format", "decoding-errors"};

std::string CheckJson(const std::string& path, const OpenedProject& project)
{
    const int status = static_cast<int>(project.outcome);
    JsonObject json;
    json.Text("file", path)
        .Number("status", status)
        .Text("outcome", kOutcomeNames[status])
        .Number("errorLine", project.errorLine);
    std::vector<std::string> conversions;
    if (project.keyboard) {
        Keyboard& keyboard = *project.keyboard;
        json.Raw("type",
                 JsonObject().Number("id", keyboard.GetTypeId()).Text("name", keyboard.GetTypeName()).Str());
        for (uint8_t item = 1; item <= keyboard.GetConversionCount(); ++item) {
            std::string title;
            if (keyboard.GetConversionTitle(item, &title)) {
                conversions.push_back(JsonObject()
                                          .Number("item", item)
                                          .Text("title", title)
                                          .Bool("losesData", keyboard.GetConversionWarning(item, nullptr))
                                          .Str());
            }
        }
    } else {
        json.Raw("type", "null");
    }
    return json.Raw("conversions", JsonArray(conversions)).Str();
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

int RunTypes(const CliArguments& arguments)
{
    std::vector<std::string> types;
    for (uint8_t id = 0; id < GetKeyboardTypeCount(); ++id) {
        std::string name;
        GetKeyboardTypeName(id, &name);
        if (arguments.json) {
            types.push_back(JsonObject().Number("id", id).Text("name", name).Str());
        } else {
            std::printf("%u\t%s\n", id, name.c_str());
        }
    }
    if (arguments.json) {
        std::printf("%s\n", JsonObject().Raw("types", JsonArray(types)).Str().c_str());
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
    return SaveProjectChecked(*keyboard, arguments.output, arguments.format);
}

int RunCheck(const CliArguments& arguments)
{
    const std::vector<std::string>& files = arguments.operands;
    if (files.size() == 1 && !arguments.json) {
        OpenedProject project;
        uint8_t format = 0;
        const int status = OpenProject(files[0], project, format);
        if (project.keyboard) {
            PrintOverview(*project.keyboard);
        }
        return status;
    }
    int worst = ExitOk;
    std::vector<std::string> objects;
    for (const std::string& path : files) {
        OpenedProject project;
        uint8_t format = 0;
        int status = ExitOk;
        if (arguments.json) {
            project = OpenProjectFile(path, &format);
            status = static_cast<int>(project.outcome);
            objects.push_back(CheckJson(path, project));
        } else {
            status = OpenProject(path, project, format);
            const std::string type = project.keyboard ? std::to_string(project.keyboard->GetTypeId()) + "\t" +
                                                            project.keyboard->GetTypeName()
                                                      : "-\t-";
            std::printf("%s\t%s\t%s\n", EscapeControlCharacters(path).c_str(), kOutcomeNames[status],
                        type.c_str());
        }
        worst = std::max(worst, status);
    }
    if (arguments.json) {
        std::printf("%s\n", files.size() == 1 ? objects[0].c_str()
                                              : JsonObject().Raw("files", JsonArray(objects)).Str().c_str());
    }
    return worst;
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
    if (arguments.hasFormat) {
        if (!CheckFormat(*project.keyboard, arguments.format, GetUsageLine(CliCommand::Convert))) {
            return ExitUsage;
        }
        return SaveProjectChecked(*project.keyboard, arguments.output, arguments.format);
    }
    // A converted project is saved in its new type's own format: the one it was read in may not
    // describe it any more (a ZQ-1100 v1 file holding a v2 project cannot be read again).
    return SaveProject(*project.keyboard, arguments.output, arguments.items.empty() ? format : 0);
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
