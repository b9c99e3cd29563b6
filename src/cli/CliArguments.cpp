#include "cli/CliArguments.h"

#include "app/Numbers.h"
#include "device/SimulatorSocket.h"
#include "device/UsbVendorId.h"
#include "lang/TextHelpers.h"

#include <cstddef>

namespace {

enum OptionBits : unsigned {
    OptOutput = 1u << 0,
    OptFormat = 1u << 1,
    OptItem = 1u << 2,
    OptForce = 1u << 3,
    OptKeyboardVersion = 1u << 4,
    OptVendorId = 1u << 5,
    OptNoVerify = 1u << 6,
    OptBackup = 1u << 7,
    OptDevice = 1u << 8,
    OptJson = 1u << 9,
    OptAll = 1u << 10,
    OptCsv = 1u << 11,
    OptRetryFailed = 1u << 12,
    OptKeyboard = 1u << 13,
    OptIgnoreNames = 1u << 14,
    OptFamily = 1u << 15,
    OptSearch = 1u << 16,
};

struct CommandInfo
{
    CliCommand command;
    const char* name;
    const char* synopsis;
    const char* operandNames[2]; // what a missing operand is called in the error
    size_t operandCount;
    unsigned options;
    bool needsOutput;
    const char* help;
    bool repeatsLastOperand = false; // FILE...
};

// Shared parts of the help texts.
#define ZQ_FORMAT_HELP                                                                                       \
    "  --format N         the file format: 1 for ZQ-2200 and ZQ-3300 projects (.zqp); for ZQ-1100\n"         \
    "                     projects (.txt) 1 = 16 scans, 2 = 7/3 scans, and for the double types also\n"      \
    "                     3 = left side, 4 = right side (16 scans each). By default the type's own:\n"       \
    "                     1 for v2 (16 scans) types, 2 for v1 types. A format the type's own reader\n"       \
    "                     refuses is written as asked, with a warning.\n"
#define ZQ_DEVICE_HELP                                                                                       \
    "  --vendor-id ID     the USB vendor id to look for (decimal or 0x hexadecimal); by default\n"           \
    "                     ZQ_VENDOR_ID from the environment, else 0xFA2C. ZQ-1100 keyboards have none.\n"    \
    "  --device PATH      use this interface only: a hidraw node, the ZQ-1100 node, a zqsim socket\n"        \
    "                     or tcp:127.0.0.1:PORT ('zqtool list' shows them)\n"
#define ZQ_DEVICE_STATUS_HELP                                                                                \
    "the device result code: 1 unknown error; 2 operation not supported by the type;\n"                      \
    "6 the image does not fit the keyboard; 7 incorrect data; 8 incorrect configuration;\n"                  \
    "9 incorrect keyboard version; 10 unsupported keyboard version; 11 data decoding error;\n"               \
    "12 no device found; 13 ZQ-1100 not found; 14 ZQ-1100 driver missing; 15 programmed data\n"              \
    "not valid; 16 communication error; 17 starting the keyboard application failed;\n"                      \
    "18 error receiving the keyboard configuration; 20 the keyboard holds other data than were\n"            \
    "written. 130 or 143: stopped by SIGINT or SIGTERM after the closing steps.\n"
#define ZQ_COMMON_STATUS_HELP "64 bad command line; 74 standard output could not be written.\n"

const CommandInfo kCommands[] = {
    {CliCommand::Types,
     "types",
     "types [--json]",
     {},
     0,
     OptJson,
     false,
     "Lists every keyboard type: its id, a tab, its name; one type a line.\n"
     "\n"
     "  --json             one object instead: {\"types\": [{\"id\": 0, \"name\": \"...\"}, ...]}\n"
     "\n"
     "Exit status: 0; " ZQ_COMMON_STATUS_HELP},
    {CliCommand::New,
     "new",
     "new TYPE -o OUT [--format N]",
     {"TYPE"},
     1,
     OptOutput | OptFormat,
     true,
     "Writes an empty project of the keyboard type TYPE (an id from 'zqtool types' or its name) to OUT.\n"
     "\n"
     "  -o, --output OUT   the project file to write\n" ZQ_FORMAT_HELP "\n"
     "Exit status: 0; 4 saving failed; " ZQ_COMMON_STATUS_HELP},
    {CliCommand::Check,
     "check",
     "check FILE... [--json]",
     {"FILE"},
     1,
     OptJson,
     false,
     "Opens the project file FILE as the editor does and tells whether it decoded cleanly. On\n"
     "standard output: its keyboard type (\"type\", id, name) and the conversions it offers\n"
     "(\"conversion\", item, title, and \"loses data\" for those that drop layouts or codes),\n"
     "tab-separated, one a line. A decoding error names the line it was found on.\n"
     "With several files, one line each instead: the file, how it opened (\"opened\",\n"
     "\"cannot-open\", \"unknown-format\", \"decoding-errors\"), its type id and name (\"-\" when\n"
     "none), tab-separated.\n"
     "\n"
     "  --json             one object instead: {\"file\", \"status\", \"outcome\" (\"opened\",\n"
     "                     \"cannot-open\", \"unknown-format\", \"decoding-errors\"), \"errorLine\" (0: "
     "none\n"
     "                     known), \"type\": {\"id\", \"name\"} or null, \"conversions\": [{\"item\", "
     "\"title\",\n"
     "                     \"losesData\"}]}; with several files {\"files\": [one such object each]}\n"
     "\n"
     "Exit status: 0 clean; 1 the file cannot be opened; 2 unknown format; 3 decoded with "
     "errors;\nwith several files the highest of theirs; " ZQ_COMMON_STATUS_HELP,
     true},
    {CliCommand::Convert,
     "convert",
     "convert FILE [--item N]... -o OUT [--format N] [--force]",
     {"FILE"},
     1,
     OptOutput | OptFormat | OptItem | OptForce,
     true,
     "Opens FILE, applies the conversion items in the order given and saves the result to OUT.\n"
     "'zqtool check FILE' lists the items the project offers. A conversion that loses data is\n"
     "refused unless --force is given.\n"
     "\n"
     "  --item N           a conversion item; repeat for several, applied in order\n"
     "  -o, --output OUT   the project file to write\n" ZQ_FORMAT_HELP
     "                     Without --format and without items: the format FILE was read in.\n"
     "  --force            carry out conversions that lose data, and tell what was dropped\n"
     "\n"
     "Exit status: 0; 1, 2, 3 as 'check' (a file that decoded with errors is not converted);\n"
     "4 saving failed; 5 a conversion was refused or is not offered; " ZQ_COMMON_STATUS_HELP},
    {CliCommand::Image,
     "image",
     "image FILE -o OUT [--keyboard-version V]",
     {"FILE"},
     1,
     OptOutput | OptKeyboardVersion,
     true,
     "Writes to OUT the device image the project FILE would be programmed with: for ZQ-2200 and\n"
     "ZQ-3300 projects in data format version 1, for ZQ-1100 projects for the keyboard version V.\n"
     "\n"
     "  -o, --output OUT        the image file to write\n"
     "  --keyboard-version V    ZQ-1100 only: the version the keyboard answers: 0 for v1 keyboards\n"
     "                          (7/3 scans), 1 for v2 single, 2 for v2 double (16 scans); by default\n"
     "                          the one the project's type needs. Another version up to 2 gives\n"
     "                          status 9 and a higher one 10, as a keyboard of that version would.\n"
     "\n"
     "Exit status: 0; 1, 2, 3 as 'check' (a file that decoded with errors is refused); 4 OUT cannot\n"
     "be written; 6, 9 or 10 the image cannot be built (the device result code); " ZQ_COMMON_STATUS_HELP},
    {CliCommand::Program,
     "program",
     "program FILE [--all | --device PATH... | --retry-failed REPORT] [--no-verify] [--backup OUT]\n"
     "       [--json | --csv] [--vendor-id ID]",
     {"FILE"},
     1,
     OptVendorId | OptNoVerify | OptBackup | OptDevice | OptAll | OptJson | OptCsv | OptRetryFailed,
     false,
     "Programs the connected keyboard with the project FILE. A ZQ-2200 or ZQ-3300 keyboard is read\n"
     "back afterwards and compared with what was written; a difference gives status 20 and names\n"
     "the first address that differs.\n"
     "\n"
     "  --no-verify        do not read back: only the writing itself\n"
     "  --backup OUT       first read what the keyboard holds and save it as a project: to the file\n"
     "                     OUT, or, when OUT is a folder, under a name of its type, date and time,\n"
     "                     keeping the newest 20 of each type there. When reading or saving fails,\n"
     "                     nothing is written to the keyboard. A ZQ-1100 cannot be read back: it\n"
     "                     is programmed without a backup and without verifying.\n" ZQ_DEVICE_HELP "\n"
     "Several keyboards at once, each on its own channel, with a report row per keyboard:\n"
     "  --all              every usable keyboard of the project's family that 'zqtool list' finds\n"
     "  --device PATH      given more than once: these interfaces\n"
     "  --retry-failed REPORT\n"
     "                     the keyboards whose row in REPORT (a --json report) failed\n"
     "  --json, --csv      the report as JSON ({\"keyboards\": [{\"device\", \"type\", \"firmware\",\n"
     "                     \"backup\", \"result\", \"message\", \"reports\", \"seconds\",\n"
     "                     \"verifiable\"}]}) or CSV instead of the table\n"
     "Each keyboard is read for its firmware version, backed up (with --backup OUT, a folder here:\n"
     "one file per keyboard, named after its port, date and time), written, verified and started;\n"
     "a keyboard that fails stops no other. ZQ-1100 keyboards share one driver: they are\n"
     "programmed one after another and are not verifiable.\n"
     "\n"
     "Exit status: 0; 3 FILE cannot be opened; 4 FILE has an unknown format or decoding errors, or\n"
     "the backup cannot be saved; several keyboards: 0 when all succeeded, else the first failed\n"
     "row's result; else " ZQ_DEVICE_STATUS_HELP ZQ_COMMON_STATUS_HELP},
    {CliCommand::Download,
     "download",
     "download TYPE -o OUT [--format N] [--vendor-id ID] [--device PATH]",
     {"TYPE"},
     1,
     OptOutput | OptFormat | OptVendorId | OptDevice,
     true,
     "Reads the programmed sequences from the connected keyboard into a new project of TYPE and\n"
     "saves it to OUT. Nothing is written when reading fails.\n"
     "\n"
     "  -o, --output OUT   the project file to write\n" ZQ_FORMAT_HELP ZQ_DEVICE_HELP "\n"
     "Exit status: 0; 4 saving failed; else " ZQ_DEVICE_STATUS_HELP ZQ_COMMON_STATUS_HELP},
    {CliCommand::Firmware,
     "firmware",
     "firmware TYPE FILE.enc [--vendor-id ID] [--device PATH]",
     {"TYPE", "FILE.enc"},
     2,
     OptVendorId | OptDevice,
     false,
     "Uploads the firmware file FILE.enc into the connected keyboard of TYPE. The file is checked\n"
     "whole before anything is sent: blocks of hexadecimal digits, line ends only at its end.\n"
     "\n" ZQ_DEVICE_HELP "\n"
     "Exit status: 0; 3 FILE.enc cannot be opened; 4 FILE.enc is empty or corrupted (the message\n"
     "says where); else " ZQ_DEVICE_STATUS_HELP ZQ_COMMON_STATUS_HELP},
    {CliCommand::Version,
     "version",
     "version TYPE [--vendor-id ID] [--device PATH] [--json]",
     {"TYPE"},
     1,
     OptVendorId | OptDevice | OptJson,
     false,
     "Prints the firmware version of the connected keyboard of TYPE.\n"
     "\n" ZQ_DEVICE_HELP
     "  --json             one object instead: {\"status\", \"version\" (null on failure), \"message\"}\n"
     "\n"
     "Exit status: 0; else " ZQ_DEVICE_STATUS_HELP ZQ_COMMON_STATUS_HELP},
    {CliCommand::List,
     "list",
     "list [--vendor-id ID] [--device PATH] [--json]",
     {},
     0,
     OptVendorId | OptDevice | OptJson,
     false,
     "Lists every keyboard interface the device commands would consider, in the order they try\n"
     "them, one a line, tab-separated: the node or socket; vendor and product id; family; product\n"
     "name; \"feature N\" (its feature report's length) or \"no feature report\"; and \"usable\", or\n"
     "why it cannot be opened, with what to do about it.\n"
     "\n" ZQ_DEVICE_HELP
     "  --json             one object instead: {\"interfaces\": [{\"path\", \"vendorId\", \"productId\",\n"
     "                     \"family\", \"name\", \"featureReportLength\", \"usable\", \"problem\"}]}\n"
     "\n"
     "Exit status: 0 a usable keyboard was found; 12 none; " ZQ_COMMON_STATUS_HELP},
    {CliCommand::Diff,
     "diff",
     "diff A.zqp (B.zqp | --keyboard [--device PATH] [--vendor-id ID]) [--ignore-names] [--json]",
     {"A.zqp", "B.zqp"},
     1,
     OptVendorId | OptDevice | OptKeyboard | OptIgnoreNames | OptJson,
     false,
     "Compares two projects of one family key by key, or a project with what the connected keyboard\n"
     "holds (read as 'download' reads it, into a project of A's type). One line per difference,\n"
     "tab-separated: layout, key number, field (codes, mode, type, simple, shape, name, or layout\n"
     "for a layout only one side has; the option's name for a keyboard-wide option, with \"-\" for\n"
     "layout and key), A's value, B's value. Codes are given by their names. On a terminal, which\n"
     "key fields were compared goes to standard error: a keyboard keeps no names, and no simple-key\n"
     "flag for layout switch keys.\n"
     "\n"
     "  --keyboard         compare with the connected keyboard instead of B.zqp\n"
     "  --ignore-names     leave the key names out\n"
     "  --json             one object instead: {\"equal\", \"compared\", \"notes\", \"differences\":\n"
     "                     [{\"layout\", \"key\", \"column\", \"row\", \"field\", \"a\", \"b\"}]}\n"
     "                     (layout and key null where they do not apply)\n" ZQ_DEVICE_HELP "\n"
     "Exit status: 0 equal; 1 different; 2 a file cannot be opened or compared, or the keyboard\n"
     "cannot be read (the message says which and why); " ZQ_COMMON_STATUS_HELP,
     true},
    {CliCommand::Codes,
     "codes",
     "codes [--family N] [--search TEXT] [--json]",
     {},
     0,
     OptFamily | OptSearch | OptJson,
     false,
     "Lists the key codes of a keyboard family's key table, as the editor's Key codes palette does:\n"
     "one a line, tab-separated: the group (typing, function, navigation, keypad, modifiers,\n"
     "system, international, prefixes), the code (a USB usage page:id, or the ZQ-1100 set-2 bytes,\n"
     "hexadecimal), its name and the other names it is known by.\n"
     "\n"
     "  --family N         1100 (ZQ-1100), 2200 or 3300 (the USB table, the same for both);\n"
     "                     by default 2200\n"
     "  --search TEXT      only the codes whose name or other names hold TEXT (any letter case,\n"
     "                     blanks and underscores alike), or that send the number TEXT: 0x68 or\n"
     "                     104 (a usage id or a ZQ-1100 byte), 7:68 (USB page and id)\n"
     "  --json             one object instead: {\"family\", \"codes\": [{\"group\", \"groupName\",\n"
     "                     \"code\", \"name\", \"caption\", \"aliases\", \"values\": [numbers]}]}\n"
     "\n"
     "Exit status: 0; 1 the search found no code; " ZQ_COMMON_STATUS_HELP},
};

#undef ZQ_FORMAT_HELP
#undef ZQ_DEVICE_HELP
#undef ZQ_DEVICE_STATUS_HELP
#undef ZQ_COMMON_STATUS_HELP

const char* const kToolHelp =
    "ZQ programmer command-line companion: point-of-sale keyboard projects and devices.\n"
    "\n"
    "Commands:\n"
    "  types [--json]                          list the keyboard types\n"
    "  new TYPE -o OUT [--format N]            write an empty project\n"
    "  check FILE... [--json]                  open projects and report how they decoded\n"
    "  convert FILE [--item N]... -o OUT [--format N] [--force]\n"
    "                                          convert a project to another variant\n"
    "  image FILE -o OUT [--keyboard-version V]\n"
    "                                          write the device image of a project\n"
    "  list [--json]                           list the keyboard interfaces found\n"
    "  program FILE [--no-verify] [--backup OUT]\n"
    "                                          program the connected keyboard\n"
    "  download TYPE -o OUT [--format N]       read the programmed sequences back\n"
    "  firmware TYPE FILE.enc                  upload firmware\n"
    "  version TYPE [--json]                   show the firmware version\n"
    "  program FILE --all | --device PATH...   program several keyboards, with a report\n"
    "  diff A.zqp B.zqp | A.zqp --keyboard     compare key by key\n"
    "  codes [--family N] [--search TEXT] [--json]\n"
    "                                          list the key codes of a family's key table\n"
    "\n"
    "TYPE is a type id (0 to 10) or its name as 'zqtool types' lists it. The device commands\n"
    "take --vendor-id ID and --device PATH. 'zqtool COMMAND --help' tells more about a command.\n"
    "Messages go to standard error; a progress bar too while a device command runs, when\n"
    "standard error is a terminal.\n"
    "\n"
    "Environment:\n"
    "  ZQ_VENDOR_ID    the USB vendor id when --vendor-id is not given\n"
    "  ZQ_SIMULATOR    zqsim's sockets (or tcp:127.0.0.1:PORT entries), ':'-separated: the\n"
    "                  device commands then talk to simulated keyboards only\n"
    "\n"
    "Options:\n"
    "  -h, --help      this text\n"
    "  --version       the program's version\n"
    "\n"
    "Exit status: 64 for a bad command line, 74 when standard output cannot be written;\n"
    "otherwise as each command's help says.\n";

const CommandInfo* FindCommand(const std::string& name)
{
    for (const CommandInfo& info : kCommands) {
        if (name == info.name) {
            return &info;
        }
    }
    return nullptr;
}

const CommandInfo* FindCommand(CliCommand command)
{
    for (const CommandInfo& info : kCommands) {
        if (info.command == command) {
            return &info;
        }
    }
    return nullptr;
}

struct OptionInfo
{
    const char* longName;
    const char* shortName;
    unsigned bit;
    bool takesValue;
};

const OptionInfo kOptions[] = {
    {"--output", "-o", OptOutput, true},
    {"--format", nullptr, OptFormat, true},
    {"--item", nullptr, OptItem, true},
    {"--force", nullptr, OptForce, false},
    {"--keyboard-version", nullptr, OptKeyboardVersion, true},
    {"--vendor-id", nullptr, OptVendorId, true},
    {"--no-verify", nullptr, OptNoVerify, false},
    {"--backup", nullptr, OptBackup, true},
    {"--device", nullptr, OptDevice, true},
    {"--json", nullptr, OptJson, false},
    {"--all", nullptr, OptAll, false},
    {"--csv", nullptr, OptCsv, false},
    {"--retry-failed", nullptr, OptRetryFailed, true},
    {"--keyboard", nullptr, OptKeyboard, false},
    {"--ignore-names", nullptr, OptIgnoreNames, false},
    {"--family", nullptr, OptFamily, true},
    {"--search", nullptr, OptSearch, true},
};

// Splits "--name=value"; value stays empty without "=".
const OptionInfo* FindOption(const std::string& word, std::string& value, bool& inlineValue)
{
    const size_t equals = word.find('=');
    const std::string name =
        word.rfind("--", 0) == 0 && equals != std::string::npos ? word.substr(0, equals) : word;
    inlineValue = name.size() != word.size();
    if (inlineValue) {
        value = word.substr(equals + 1);
    }
    for (const OptionInfo& option : kOptions) {
        if (name == option.longName || (option.shortName != nullptr && name == option.shortName)) {
            return &option;
        }
    }
    return nullptr;
}

bool ParseNumberOption(const std::string& text, uint8_t minimum, uint8_t& value)
{
    return ParseU8(text, value, 255) == ParseOk && value >= minimum;
}

// Names are never looked up: only a loopback address in numbers keeps the keyboard local.
bool IsLoopbackEntry(const std::string& value)
{
    SimulatorEndpoint endpoint;
    return ParseSimulatorEndpoint(value, endpoint);
}

bool StoreOption(const OptionInfo& option, const std::string& value, CliArguments& arguments,
                 std::string& error)
{
    bool stored = true;
    const char* expected = "";
    switch (option.bit) {
    case OptOutput:
        stored = !value.empty();
        expected = "a file name";
        arguments.output = value;
        arguments.hasOutput = stored;
        break;
    case OptFormat:
        stored = ParseNumberOption(value, 1, arguments.format);
        expected = "a format number from 1";
        arguments.hasFormat = stored;
        break;
    case OptItem: {
        uint8_t item = 0;
        stored = ParseNumberOption(value, 1, item);
        expected = "a conversion item number from 1";
        arguments.items.push_back(item);
        break;
    }
    case OptForce:
        arguments.force = true;
        break;
    case OptKeyboardVersion:
        stored = ParseNumberOption(value, 0, arguments.keyboardVersion);
        expected = "0 to 255";
        arguments.hasKeyboardVersion = stored;
        break;
    case OptNoVerify:
        arguments.noVerify = true;
        break;
    case OptBackup:
        stored = !value.empty();
        expected = "a file or folder name";
        arguments.backup = value;
        arguments.hasBackup = stored;
        break;
    case OptDevice:
        stored = !value.empty() && (value.rfind(kSimulatorTcpPrefix, 0) != 0 || IsLoopbackEntry(value));
        expected = "a device node, socket or tcp:127.0.0.1:PORT";
        if (stored && !arguments.hasDevice) {
            arguments.device = value;
        }
        arguments.hasDevice = arguments.hasDevice || stored;
        arguments.devices.push_back(value);
        break;
    case OptJson:
        arguments.json = true;
        break;
    case OptCsv:
        arguments.csv = true;
        break;
    case OptAll:
        arguments.all = true;
        break;
    case OptRetryFailed:
        stored = !value.empty();
        expected = "a JSON report of 'program'";
        arguments.retryFailed = value;
        arguments.hasRetryFailed = stored;
        break;
    case OptKeyboard:
        arguments.keyboard = true;
        break;
    case OptIgnoreNames:
        arguments.ignoreNames = true;
        break;
    case OptFamily:
        stored = ParseU16(StartsWithIgnoringCase(value, "ZQ-") ? value.substr(3) : value, arguments.family,
                          3300) == ParseOk &&
                 (arguments.family == 1100 || arguments.family == 2200 || arguments.family == 3300);
        expected = "1100, 2200 or 3300";
        break;
    case OptSearch:
        arguments.search = value;
        break;
    case OptVendorId:
        stored = ParseVendorId(value, arguments.vendorId);
        expected = "1 to 0xFFFF, decimal or 0x hexadecimal";
        arguments.hasVendorId = stored;
        break;
    }
    if (!stored) {
        error = "invalid value '" + value + "' for " + option.longName + " (" + expected + ")";
        if (option.bit == OptDevice && !value.empty()) {
            error += "; use tcp:127.0.0.1:" + value.substr(value.rfind(':') + 1);
        }
    }
    return stored;
}

bool IsHelpWord(const std::string& word)
{
    return word == "--help" || word == "-h";
}

// Options that each make sense alone but not together.
bool CheckCombinations(const CliArguments& arguments, std::string& error)
{
    if (arguments.json && arguments.csv) {
        error = "--json and --csv exclude each other";
        return false;
    }
    const int chooses =
        (arguments.all ? 1 : 0) + (arguments.hasDevice ? 1 : 0) + (arguments.hasRetryFailed ? 1 : 0);
    if (chooses > 1) {
        error = "--all, --device and --retry-failed exclude each other";
        return false;
    }
    if (arguments.command != CliCommand::Diff) {
        return true;
    }
    const size_t wanted = arguments.keyboard ? 1 : 2;
    if (arguments.operands.size() < wanted) {
        error = "missing B.zqp (or --keyboard)";
        return false;
    }
    if (arguments.operands.size() > wanted) {
        error = "unexpected argument '" + arguments.operands[wanted] + "'";
        return false;
    }
    if (arguments.hasDevice && !arguments.keyboard) {
        error = "--device needs --keyboard";
        return false;
    }
    return true;
}

bool ParseCommandWords(const CommandInfo& info, const std::vector<std::string>& words,
                       CliArguments& arguments, std::string& error)
{
    bool optionsEnded = false;
    unsigned seen = 0;
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word.empty() || word[0] != '-' || word == "-") {
            arguments.operands.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        std::string value;
        bool inlineValue = false;
        const OptionInfo* option = FindOption(word, value, inlineValue);
        if (option == nullptr) {
            error = "unknown option '" + word + "'";
            return false;
        }
        if ((info.options & option->bit) == 0) {
            error = "option " + std::string(option->longName) + " does not apply to '" + info.name + "'";
            return false;
        }
        if (!option->takesValue && inlineValue) {
            error = "option " + std::string(option->longName) + " takes no value";
            return false;
        }
        if (option->takesValue && !inlineValue) {
            if (i + 1 >= words.size()) {
                error = "option " + std::string(option->longName) + " needs a value";
                return false;
            }
            value = words[++i];
        }
        const bool repeats =
            option->bit == OptItem || (option->bit == OptDevice && info.command == CliCommand::Program);
        if (!repeats && (seen & option->bit) != 0) {
            error = "option " + std::string(option->longName) + " given twice";
            return false;
        }
        seen |= option->bit;
        if (!StoreOption(*option, value, arguments, error)) {
            return false;
        }
    }
    if (arguments.operands.size() < info.operandCount) {
        error = std::string("missing ") + info.operandNames[arguments.operands.size()];
        return false;
    }
    if (arguments.operands.size() > info.operandCount && !info.repeatsLastOperand) {
        error = "unexpected argument '" + arguments.operands[info.operandCount] + "'";
        return false;
    }
    if (info.needsOutput && !arguments.hasOutput) {
        error = "missing -o OUT";
        return false;
    }
    return CheckCombinations(arguments, error);
}

} // namespace

bool ParseCliArguments(const std::vector<std::string>& words, CliArguments& arguments, std::string& error)
{
    arguments = CliArguments();
    if (words.empty()) {
        error = "missing command";
        return false;
    }
    if (IsHelpWord(words[0])) {
        arguments.help = true;
        return true;
    }
    if (words[0] == "--version") {
        arguments.version = true;
        return true;
    }
    const CommandInfo* info = FindCommand(words[0]);
    if (info == nullptr) {
        error = "unknown command '" + words[0] + "'";
        return false;
    }
    arguments.command = info->command;
    for (size_t i = 1; i < words.size() && words[i] != "--"; ++i) {
        if (IsHelpWord(words[i])) {
            arguments.help = true;
            return true;
        }
    }
    return ParseCommandWords(*info, words, arguments, error);
}

bool ProgramsSeveralKeyboards(const CliArguments& arguments)
{
    return arguments.command == CliCommand::Program &&
           (arguments.all || arguments.devices.size() > 1 || arguments.hasRetryFailed || arguments.json ||
            arguments.csv);
}

std::string GetUsageLine(CliCommand command)
{
    const CommandInfo* info = FindCommand(command);
    return std::string("usage: zqtool ") + (info != nullptr ? info->synopsis : "COMMAND [ARGUMENTS]");
}

std::string GetHelpText(CliCommand command)
{
    const CommandInfo* info = FindCommand(command);
    return GetUsageLine(command) + "\n" + (info != nullptr ? info->help : kToolHelp);
}
