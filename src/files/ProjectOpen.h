// Opening and saving a project file as the editor and zqtool both do it, with one outcome for
// each message the user may see.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class Keyboard;

// The values match zqtool's exit codes of "check".
enum class OpenOutcome : int {
    Opened = 0,
    CannotOpen = 1,     // the file cannot be opened or has no first line
    UnknownFormat = 2,  // the first line names no keyboard type
    DecodingErrors = 3, // loaded with errors: the partly loaded project is still returned
};

struct OpenedProject
{
    OpenOutcome outcome = OpenOutcome::CannotOpen;
    // Set for Opened and DecodingErrors.
    std::unique_ptr<Keyboard> keyboard;
    // CannotOpen: the errno value telling why (see RawFile::ToErrno), 0 for an empty file.
    uint32_t systemError = 0;
    // DecodingErrors: the 1-based line of the first error, 0 when the loader cannot tell.
    uint32_t errorLine = 0;
    // UnknownFormat: the first line as read.
    std::string firstLine;
};

// Why opening failed, in a few words after the file's name: the system's reason, "line N", what
// the first line holds instead of a type; empty when there is nothing to add.
std::string DescribeOpenFailure(const OpenedProject& project);
// The system's words for an errno value of a file operation.
std::string DescribeFileError(int error);

// The 1-based line the byte at offset is on: CR LF, a lone CR and a lone LF each end a line.
// 0 when the file cannot be read that far.
uint32_t CountLinesTo(const std::string& path, uint32_t offset);

// Reads the first line, creates the project of the recognised type and loads the whole file
// into it. format: the file format index the project's loader reads and updates; may be null.
OpenedProject OpenProjectFile(const std::string& path, uint8_t* format = nullptr);

enum class SaveOutcome : int {
    Saved = 0,
    CannotSave = 4,
};

// format: the file format index; 0 is replaced by the project's default and stored back.
SaveOutcome SaveProjectFile(Keyboard& keyboard, const std::string& path, uint8_t* format = nullptr);

// The string id of the message for an outcome, 0 for success.
uint32_t GetOutcomeTextId(OpenOutcome outcome);
uint32_t GetOutcomeTextId(SaveOutcome outcome);
