// The command line of zqtool: commands, their options, and the usage texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class CliCommand {
    None,
    Types,
    New,
    Check,
    Convert,
    Image,
    Program,
    Download,
    Firmware,
    Version,
    List,
    Diff,
    Codes,
};

// Exit statuses besides the device result codes. File commands answer 1 to 5; device commands
// answer device result codes only, so the two never need telling apart within one command.
enum CliExit : int {
    ExitOk = 0,
    ExitCannotOpen = 1,
    ExitUnknownFormat = 2,
    ExitDecodingErrors = 3,
    ExitSaveFailed = 4,
    ExitConversionRefused = 5,
    ExitUsage = 64,        // EX_USAGE: never confused with "Operation not supported" (2)
    ExitOutputFailed = 74, // EX_IOERR: standard output could not be written
    ExitInterrupted = 128, // plus the signal's number, as a shell reports it
};

struct CliArguments
{
    CliCommand command = CliCommand::None;
    bool help = false;
    bool version = false;
    // TYPE and FILE arguments in their order on the line.
    std::vector<std::string> operands;
    std::string output;
    bool hasOutput = false;
    uint8_t format = 0;
    bool hasFormat = false;
    std::vector<uint8_t> items;
    bool force = false;
    uint8_t keyboardVersion = 0;
    bool hasKeyboardVersion = false;
    uint16_t vendorId = 0;
    bool hasVendorId = false;
    bool vendorIdFromEnvironment = false; // ZQ_VENDOR_ID, not --vendor-id
    bool noVerify = false;
    std::string backup; // a file, or a folder that keeps the newest backups of each type
    bool hasBackup = false;
    std::string device; // one interface: a hidraw node, the legacy node or a simulator entry
    bool hasDevice = false;
    std::vector<std::string> devices; // every --device in order ('program' takes several)
    bool json = false;
    bool csv = false;
    bool all = false;        // program every usable keyboard of the project's family
    std::string retryFailed; // a JSON report of 'program': its failed keyboards again
    bool hasRetryFailed = false;
    bool keyboard = false; // diff against the connected keyboard
    bool ignoreNames = false;
    uint16_t family = 2200; // codes: 1100, 2200 or 3300
    std::string search;
};

// 'program' with a report row per keyboard rather than the one connected keyboard.
bool ProgramsSeveralKeyboards(const CliArguments& arguments);

// False for a usage error, with the reason in error. --help and --version are answered true
// without checking the rest.
bool ParseCliArguments(const std::vector<std::string>& words, CliArguments& arguments, std::string& error);

// The command's line of the form "usage: zqtool ..."; the tool's when there is no command.
std::string GetUsageLine(CliCommand command);
std::string GetHelpText(CliCommand command);
