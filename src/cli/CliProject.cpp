#include "cli/CliProject.h"

#include "cli/CliArguments.h"
#include "io/BufferedFile.h"
#include "io/SafeSave.h"
#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool IsDecimal(const std::string& text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

} // namespace

void PrintMessage(const std::string& text)
{
    std::string plain;
    plain.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        plain += text[i];
    }
    std::fprintf(stderr, "%s\n", plain.c_str());
}

void PrintFileMessage(const std::string& path, const std::string& text, const std::string& why)
{
    PrintMessage("zqtool: " + path + ": " + text + (why.empty() ? "" : " (" + why + ")"));
}

int PrintUsageError(const std::string& reason, const std::string& usageLine)
{
    std::fprintf(stderr, "zqtool: %s\n%s\nTry 'zqtool --help' or 'zqtool COMMAND --help'.\n", reason.c_str(),
                 usageLine.c_str());
    return ExitUsage;
}

std::string DescribeSystemError(int error)
{
    return DescribeFileError(error);
}

bool ResolveKeyboardType(const std::string& text, uint8_t& id)
{
    const uint8_t count = GetKeyboardTypeCount();
    if (IsDecimal(text)) {
        // Digits only: a long run must not wrap around to a valid id.
        if (text.size() > 3) {
            return false;
        }
        const int value = std::stoi(text);
        if (value >= count) {
            return false;
        }
        id = static_cast<uint8_t>(value);
        return true;
    }
    for (uint8_t candidate = 0; candidate < count; ++candidate) {
        std::string name;
        if (GetKeyboardTypeName(candidate, &name) && EqualsIgnoringCase(name, text)) {
            id = candidate;
            return true;
        }
    }
    return false;
}

int OpenProject(const std::string& path, OpenedProject& project, uint8_t& format)
{
    format = 0;
    project = OpenProjectFile(path, &format);
    if (project.outcome != OpenOutcome::Opened) {
        PrintFileMessage(path, LoadText(GetOutcomeTextId(project.outcome)), DescribeOpenFailure(project));
    }
    return static_cast<int>(project.outcome);
}

uint8_t GetFormatCount(const Keyboard& keyboard)
{
    std::string filter;
    keyboard.GetFileFilter(&filter, nullptr);
    // Each format is a "description|pattern|" pair.
    const size_t bars = static_cast<size_t>(std::count(filter.begin(), filter.end(), '|'));
    return static_cast<uint8_t>(std::min<size_t>(bars / 2, 255));
}

bool CheckFormat(const Keyboard& keyboard, uint8_t format, const std::string& usageLine)
{
    const uint8_t count = GetFormatCount(keyboard);
    if (format >= 1 && format <= count) {
        return true;
    }
    PrintUsageError("format " + std::to_string(format) + " is not offered for " + keyboard.GetTypeName() +
                        " (1 to " + std::to_string(count) + ")",
                    usageLine);
    return false;
}

int SaveProject(Keyboard& keyboard, const std::string& path, uint8_t format)
{
    errno = 0;
    const SaveOutcome outcome = SaveProjectFile(keyboard, path, &format);
    if (outcome != SaveOutcome::Saved) {
        PrintFileMessage(path, LoadText(GetOutcomeTextId(outcome)),
                         errno != 0 ? DescribeSystemError(errno) : "");
    }
    return static_cast<int>(outcome);
}

int SaveProjectChecked(Keyboard& keyboard, const std::string& path, uint8_t format)
{
    const int status = SaveProject(keyboard, path, format);
    if (status != ExitOk || format == 0) {
        return status;
    }
    const OpenedProject back = OpenProjectFile(path);
    if (back.outcome != OpenOutcome::Opened || back.keyboard->GetTypeId() != keyboard.GetTypeId()) {
        PrintMessage("zqtool: format " + std::to_string(format) + " cannot be read back as " +
                     keyboard.GetTypeName());
    }
    return status;
}

int SaveBytes(const std::string& path, const uint8_t* data, size_t size)
{
    errno = 0;
    const bool saved = SaveFileSafely(path, BufferedFile::LineEndDefault, [&](BufferedFile& file) {
        return size <= UINT32_MAX && file.Write(data, static_cast<uint32_t>(size)) == size;
    });
    if (!saved) {
        PrintFileMessage(path, LoadText(IDS_MSG_CANNOT_SAVE), errno != 0 ? DescribeSystemError(errno) : "");
        return ExitSaveFailed;
    }
    return ExitOk;
}

int FinishOutput(int status)
{
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    if (flushed && std::ferror(stdout) == 0) {
        return status;
    }
    const int error = errno;
    PrintMessage(std::string("zqtool: cannot write to standard output") +
                 (error != 0 ? " (" + DescribeSystemError(error) + ")" : ""));
    return status == ExitOk ? ExitOutputFailed : status;
}
