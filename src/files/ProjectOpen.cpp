#include "files/ProjectOpen.h"

#include "io/BufferedFile.h"
#include "io/RawFile.h"
#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Enough of a first line to recognise it; a binary file's is cut short.
constexpr size_t kShownFirstLineLength = 40;

std::string DescribeFirstLine(const std::string& line)
{
    if (line.rfind("\xEF\xBB\xBF", 0) == 0) {
        return LoadText(IDS_OPEN_WHY_BYTE_ORDER_MARK);
    }
    if (!line.empty() && (line.back() == ' ' || line.back() == '\t')) {
        return LoadText(IDS_OPEN_WHY_BLANKS);
    }
    std::string shown = line.substr(0, kShownFirstLineLength);
    if (shown.size() < line.size()) {
        shown += "...";
    }
    return LoadTextWithArgument(IDS_OPEN_WHY_FIRST_LINE, EscapeControlCharacters(shown));
}

} // namespace

OpenedProject OpenProjectFile(const std::string& path, uint8_t* format)
{
    OpenedProject result;
    std::string firstLine;
    {
        BufferedFile file;
        // The line goes to the catalogue as read: it trims the legacy type code itself, and the
        // USB loaders compare their magic untrimmed, so both see the same line.
        if (!file.Open(path, true, BufferedFile::LineEndDefault) || file.LastError() != 0 ||
            !file.ReadLine(firstLine)) {
            result.systemError = static_cast<uint32_t>(RawFile::ToErrno(file.LastError()));
            return result;
        }
    }
    const uint8_t typeId = RecognizeFileType(firstLine);
    if (typeId >= GetKeyboardTypeCount()) {
        result.outcome = OpenOutcome::UnknownFormat;
        result.firstLine = firstLine;
        return result;
    }
    result.keyboard = CreateKeyboard(typeId);
    if (!result.keyboard) {
        result.outcome = OpenOutcome::UnknownFormat;
        return result;
    }
    uint8_t ownFormat = 0;
    const bool clean = result.keyboard->LoadFile(path, format != nullptr ? format : &ownFormat);
    result.outcome = clean ? OpenOutcome::Opened : OpenOutcome::DecodingErrors;
    if (!clean && result.keyboard->GetLoadErrorOffset() != Keyboard::kNoLoadErrorOffset) {
        result.errorLine = CountLinesTo(path, result.keyboard->GetLoadErrorOffset());
    }
    return result;
}

std::string DescribeFileError(int error)
{
    if (error == EOVERFLOW) {
        return LoadTextWithArgument(IDS_OPEN_WHY_LONG_LINE,
                                    std::to_string(BufferedFile::kMaxLineLength >> 20));
    }
    return std::strerror(error);
}

std::string DescribeOpenFailure(const OpenedProject& project)
{
    switch (project.outcome) {
    case OpenOutcome::CannotOpen:
        return project.systemError != 0 ? DescribeFileError(static_cast<int>(project.systemError))
                                        : LoadText(IDS_OPEN_WHY_EMPTY);
    case OpenOutcome::UnknownFormat:
        return DescribeFirstLine(project.firstLine);
    case OpenOutcome::DecodingErrors:
        return project.errorLine != 0
                   ? LoadTextWithArgument(IDS_OPEN_WHY_LINE, std::to_string(project.errorLine))
                   : std::string();
    case OpenOutcome::Opened:
        break;
    }
    return {};
}

uint32_t CountLinesTo(const std::string& path, uint32_t offset)
{
    RawFile file;
    if (!file.Open(path, true)) {
        return 0;
    }
    uint32_t line = 1;
    uint8_t previous = 0;
    uint8_t chunk[4096];
    for (uint32_t done = 0; done < offset;) {
        const uint32_t want = std::min<uint32_t>(sizeof chunk, offset - done);
        const uint32_t got = file.Read(chunk, want);
        if (got == 0) {
            // The end of the file: an offset there is on the line after the last break.
            break;
        }
        for (uint32_t i = 0; i < got; ++i) {
            if (chunk[i] == '\n' ? previous != '\r' : chunk[i] == '\r') {
                ++line;
            }
            previous = chunk[i];
        }
        done += got;
    }
    return line;
}

SaveOutcome SaveProjectFile(Keyboard& keyboard, const std::string& path, uint8_t* format)
{
    uint8_t ownFormat = 0;
    return keyboard.SaveFile(path, format != nullptr ? format : &ownFormat) ? SaveOutcome::Saved
                                                                            : SaveOutcome::CannotSave;
}

uint32_t GetOutcomeTextId(OpenOutcome outcome)
{
    switch (outcome) {
    case OpenOutcome::Opened:
        return 0;
    case OpenOutcome::CannotOpen:
        return IDS_MSG_CANNOT_OPEN;
    case OpenOutcome::UnknownFormat:
        return IDS_MSG_UNKNOWN_FORMAT;
    case OpenOutcome::DecodingErrors:
        return IDS_MSG_DECODING_ERRORS;
    }
    return IDS_MSG_CANNOT_OPEN;
}

uint32_t GetOutcomeTextId(SaveOutcome outcome)
{
    return outcome == SaveOutcome::Saved ? 0 : IDS_MSG_CANNOT_SAVE;
}
