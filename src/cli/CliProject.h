// What the commands share: keyboard types by id or name, opening and saving projects as the
// editor does, messages on standard error and JSON text.
#pragma once

#include "files/ProjectOpen.h"
#include "lang/Json.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class Keyboard;

// Prints the text and a line end to standard error; Windows line ends become plain ones.
void PrintMessage(const std::string& text);
// "zqtool: FILE: text (why)", the why left out when empty.
void PrintFileMessage(const std::string& path, const std::string& text, const std::string& why);
// A usage error: the reason, the command's usage line and where to read more. Answers ExitUsage.
int PrintUsageError(const std::string& reason, const std::string& usageLine);
// The system's words for an error number.
std::string DescribeSystemError(int error);

// An id 0 to the last type, or a type name as listed (letter case ignored).
bool ResolveKeyboardType(const std::string& text, uint8_t& id);

// Opens as the editor's Open does and prints its message, with the file and why, on failure.
// Answers the exit status: ExitOk, ExitCannotOpen, ExitUnknownFormat (no project) or
// ExitDecodingErrors (the partly read project stays in project). format: the format the file was
// read in.
int OpenProject(const std::string& path, OpenedProject& project, uint8_t& format);

// The number of save formats the project offers (entries of its file filter).
uint8_t GetFormatCount(const Keyboard& keyboard);
// Checks --format against the project's formats; prints a usage error and answers false.
bool CheckFormat(const Keyboard& keyboard, uint8_t format, const std::string& usageLine);
// Prints the editor's message with the file and why on failure; answers ExitOk or ExitSaveFailed.
int SaveProject(Keyboard& keyboard, const std::string& path, uint8_t format);
// SaveProject with a format the user asked for: when the project's own reader would refuse the
// file, it is kept all the same and a warning says so.
int SaveProjectChecked(Keyboard& keyboard, const std::string& path, uint8_t format);
// Writes bytes through the safe save; answers ExitOk or ExitSaveFailed after the message.
int SaveBytes(const std::string& path, const uint8_t* data, size_t size);

// Flushes standard output; a failed write anywhere before makes it print why and answer
// ExitOutputFailed unless status already tells of a failure.
int FinishOutput(int status);
