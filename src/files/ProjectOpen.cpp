#include "files/ProjectOpen.h"

#include "io/BufferedFile.h"
#include "lang/StringIds.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"

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
            return result;
        }
    }
    const uint8_t typeId = RecognizeFileType(firstLine);
    if (typeId >= GetKeyboardTypeCount()) {
        result.outcome = OpenOutcome::UnknownFormat;
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
    return result;
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
