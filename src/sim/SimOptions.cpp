#include "sim/SimOptions.h"

#include "app/Numbers.h"

#include <climits>
#include <utility>

namespace {

using OptionList = std::vector<std::pair<std::string, std::string>>;

// One --socket or --tcp and the interface options written after it.
struct InterfaceLine
{
    std::string path;
    bool tcp = false;
    uint16_t port = 0;
    OptionList own;
};

const char* const kInterfaceOptions[] = {
    "--family",         "--name",          "--vendor-id",        "--product-id",
    "--feature-length", "--kind",          "--format-version",   "--start-address",
    "--end-address",    "--header-length", "--firmware-version", "--header",
    "--memory",         "--dump-memory",   "--dump-firmware",    "--dump-legacy",
    "--busy",           "--fail",          "--disconnect-after", "--disconnect-error",
    "--legacy-version", "--corrupt-byte",
};

bool IsInterfaceOption(const std::string& name)
{
    for (const char* option : kInterfaceOptions) {
        if (name == option) {
            return true;
        }
    }
    return false;
}

bool ParseByte(const std::string& text, uint8_t& value)
{
    return ParseU8(text, value, 0xFF) == ParseOk;
}

bool ParseWord(const std::string& text, uint16_t& value)
{
    return ParseU16(text, value, 0xFFFF) == ParseOk;
}

bool ParseHexBytes(const std::string& text, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    if (text.size() % 2 != 0 || text.size() / 2 > 0x10000) {
        return false;
    }
    for (size_t i = 0; i < text.size(); i += 2) {
        int high = HexDigitValue(text[i]);
        int low = HexDigitValue(text[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return true;
}

bool ParseVersion(const std::string& text, std::array<uint8_t, 3>& version)
{
    size_t start = 0;
    for (size_t i = 0; i < 3; ++i) {
        size_t end = i < 2 ? text.find('.', start) : text.size();
        if (end == std::string::npos || !ParseByte(text.substr(start, end - start), version[i])) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

// "[CMD:]N" or "forever" for N.
bool ParseBusy(const std::string& text, SimInterfaceConfig& config)
{
    std::string count = text;
    int command = -1;
    size_t colon = text.find(':');
    if (colon != std::string::npos) {
        uint8_t code = 0;
        if (ParseU8(text.substr(0, colon), code, 0xFF) != ParseOk || code == 0 ||
            code >= config.busyPolls.size()) {
            return false;
        }
        command = code;
        count = text.substr(colon + 1);
    }
    int polls = kSimBusyForever;
    if (count != "forever") {
        int32_t value = 0;
        if (ParseS32(count, value, INT_MAX) != ParseOk) {
            return false;
        }
        polls = value;
    }
    if (command < 0) {
        config.busyPolls.fill(polls);
    } else {
        config.busyPolls[static_cast<size_t>(command)] = polls;
    }
    return true;
}

// "[CMD:]N=STATUS".
bool ParseFail(const std::string& text, SimInterfaceConfig& config)
{
    SimFailRule rule;
    size_t equals = text.find('=');
    if (equals == std::string::npos || !ParseByte(text.substr(equals + 1), rule.status)) {
        return false;
    }
    std::string nth = text.substr(0, equals);
    size_t colon = nth.find(':');
    if (colon != std::string::npos) {
        if (!ParseByte(nth.substr(0, colon), rule.command) || rule.command == 0) {
            return false;
        }
        nth = nth.substr(colon + 1);
    }
    if (ParseU32(nth, rule.nth, UINT32_MAX) != ParseOk || rule.nth == 0) {
        return false;
    }
    config.failRules.push_back(rule);
    return true;
}

bool ParsePath(const std::string& text, std::string& path)
{
    path = text;
    return !text.empty();
}

bool ApplyOption(const std::string& name, const std::string& value, SimInterfaceConfig& c)
{
    if (name == "--family") {
        return ApplySimFamily(value, c);
    }
    if (name == "--name") {
        c.name = value;
        return true;
    }
    if (name == "--vendor-id") {
        return ParseWord(value, c.vendorId);
    }
    if (name == "--product-id") {
        return ParseWord(value, c.productId);
    }
    if (name == "--feature-length") {
        return ParseWord(value, c.featureLength);
    }
    if (name == "--kind") {
        if (value == "hid" || value == "legacy") {
            c.kind = value == "hid" ? 0 : 1;
            return true;
        }
        return ParseU8(value, c.kind, 1) == ParseOk;
    }
    if (name == "--format-version") {
        return ParseByte(value, c.formatVersion);
    }
    if (name == "--start-address") {
        return ParseWord(value, c.startAddress);
    }
    if (name == "--end-address") {
        return ParseWord(value, c.endAddress);
    }
    if (name == "--header-length") {
        return c.headerLengthGiven = ParseByte(value, c.headerLength);
    }
    if (name == "--firmware-version") {
        return c.firmwareVersionGiven = ParseVersion(value, c.firmwareVersion);
    }
    if (name == "--header") {
        return ParseHexBytes(value, c.headerBytes);
    }
    if (name == "--memory") {
        return ParsePath(value, c.memoryFile);
    }
    if (name == "--dump-memory") {
        return ParsePath(value, c.dumpMemoryFile);
    }
    if (name == "--dump-firmware") {
        return ParsePath(value, c.dumpFirmwareFile);
    }
    if (name == "--dump-legacy") {
        return ParsePath(value, c.dumpLegacyFile);
    }
    if (name == "--busy") {
        return ParseBusy(value, c);
    }
    if (name == "--fail") {
        return ParseFail(value, c);
    }
    if (name == "--disconnect-after") {
        uint32_t after = 0;
        if (ParseU32(value, after, UINT32_MAX) != ParseOk) {
            return false;
        }
        c.disconnectAfter = after;
        return true;
    }
    if (name == "--disconnect-error") {
        return ParseU32(value, c.disconnectError, UINT32_MAX) == ParseOk;
    }
    if (name == "--corrupt-byte") {
        uint16_t address = 0;
        if (!ParseWord(value, address)) {
            return false;
        }
        c.corruptAddress = address;
        return true;
    }
    if (name == "--legacy-version") {
        return ParseByte(value, c.legacyVersion);
    }
    return false;
}

// The family goes first so that the options around it refine it, wherever it was written.
bool BuildInterface(const InterfaceLine& line, const OptionList& defaults, SimInterfaceConfig& config,
                    std::string& error)
{
    const OptionList& own = line.own;
    config = SimInterfaceConfig{};
    config.socketPath = line.path;
    config.tcp = line.tcp;
    config.tcpPort = line.port;
    std::string family;
    for (const OptionList* list : {&defaults, &own}) {
        for (const auto& [name, value] : *list) {
            if (name == "--family") {
                family = value;
            }
        }
    }
    if (!family.empty() && !ApplySimFamily(family, config)) {
        error = "unknown family '" + family + "' (zq2200, zq3300 or zq1100)";
        return false;
    }
    for (const OptionList* list : {&defaults, &own}) {
        for (const auto& [name, value] : *list) {
            if (name != "--family" && !ApplyOption(name, value, config)) {
                error = "bad value '" + value + "' for " + name;
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool ParseSimOptions(int argc, const char* const* argv, SimOptions& options, std::string& error)
{
    options = SimOptions{};
    OptionList defaults;
    std::vector<InterfaceLine> interfaces;
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        std::string value;
        bool hasValue = false;
        size_t equals = name.find('=');
        if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
            hasValue = true;
        }
        if (name == "--help" || name == "-h") {
            options.help = true;
            return true;
        }
        if (name == "--version") {
            options.version = true;
            return true;
        }
        if (name == "--print-ready" && !hasValue) {
            options.printReady = true;
            continue;
        }
        bool known =
            name == "--socket" || name == "--tcp" || name == "--ready-file" || IsInterfaceOption(name);
        if (!known) {
            error = "unknown option '" + name + "' (see --help)";
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= argc) {
                error = name + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (name == "--socket") {
            if (value.empty()) {
                error = "--socket needs a path";
                return false;
            }
            for (const auto& existing : interfaces) {
                if (!existing.tcp && existing.path == value) {
                    error = "socket " + value + " given twice";
                    return false;
                }
            }
            interfaces.push_back({value, false, 0, {}});
        } else if (name == "--tcp") {
            uint16_t port = 0;
            if (!ParseWord(value, port)) {
                error = "--tcp needs a port number 0 to 65535";
                return false;
            }
            for (const auto& existing : interfaces) {
                if (port != 0 && existing.tcp && existing.port == port) {
                    error = "port " + value + " given twice";
                    return false;
                }
            }
            interfaces.push_back({"", true, port, {}});
        } else if (name == "--ready-file") {
            options.readyFile = value;
        } else {
            (interfaces.empty() ? defaults : interfaces.back().own).emplace_back(name, value);
        }
    }
    if (interfaces.empty()) {
        error = "no --socket or --tcp given (see --help)";
        return false;
    }
    for (const InterfaceLine& line : interfaces) {
        SimInterfaceConfig config;
        if (!BuildInterface(line, defaults, config, error)) {
            return false;
        }
        options.interfaces.push_back(std::move(config));
    }
    return true;
}

const char* SimHelpText()
{
    return R"(Usage: zqsim [OPTIONS] --socket PATH|--tcp PORT [INTERFACE OPTIONS]
             [--socket PATH|--tcp PORT [INTERFACE OPTIONS]]...

A simulated ZQ keyboard. Every --socket is one device interface served on a Unix-domain
stream socket; give the paths to the programmer in ZQ_SIMULATOR, separated by ':'. Every
--tcp is one served on a TCP port of the loopback address 127.0.0.1 instead, for programs
that have no Unix-domain sockets (zqtool.exe under wine); its ZQ_SIMULATOR entry is
tcp:127.0.0.1:PORT. Only loopback addresses are served and accepted.
Interface options written before the first --socket or --tcp apply to every interface; those
after one apply to that interface only and override them. Each interface is a device of
its own with its own memory, kept for as long as zqsim runs. Clients may connect, work and
disconnect as often as they like, but one at a time uses an interface: the first to open it
('I' with the payload byte 1) or to send a report, until it disconnects. Meanwhile any other
is answered error 32 (in use) to everything but a plain 'I'. Numbers are decimal or 0x
hexadecimal.

zqsim prints nothing but errors. It stops on SIGTERM or SIGINT, writes its dumps and removes
its socket files; SIGUSR1 writes the dumps at once.

General options:
  -h, --help               this text
  --version                the program's version
  --ready-file PATH        write "ready" to PATH once every socket listens, then for each
                           --tcp interface in order a line with its ZQ_SIMULATOR entry
                           tcp:127.0.0.1:PORT (removed at start and on exit, so a script may
                           wait for it to appear)
  --print-ready            print the same on standard output
  --socket PATH            serve the next interface on a Unix-domain socket at PATH
  --tcp PORT               serve the next interface on 127.0.0.1:PORT; 0 takes a free port,
                           which the ready lines tell

Device:
  --family NAME            zq2200 (default), zq3300 or zq1100; sets name, ids, kind and
                           feature report length, whatever position it has on the line
  --name TEXT              device name in the info answer
  --vendor-id N            USB vendor id (default 0xFA2C)
  --product-id N           USB product id (zq2200 0x1000, zq3300 0x1002, zq1100 0)
  --feature-length N       feature report byte length; 0 = the interface has no feature
                           report (default 137; zq1100 0)
  --kind hid|legacy        interface kind (zq1100: legacy)

Memory (HID):
  --format-version N       data format version in the memory map (default 1)
  --start-address N        first address of the programmable area (default 0x0800)
  --end-address N          last address, inclusive; 0 = no memory (default 0x17FF)
  --header-length N        byte 0 of the area, the header length (default 16)
  --firmware-version A.B.C bytes 1 to 3 of the area (default 1.0.0)
  --header HEX             hexadecimal digit pairs laid over the start of the area
  --memory FILE            load the area from FILE (at most its size; the rest stays as by
                           default). Order: defaults, --memory, --header, --header-length,
                           --firmware-version
  --dump-memory FILE       write the area to FILE after every write command, on SIGUSR1
                           and on exit
  --dump-firmware FILE     write the firmware blocks received (136 bytes each, in order) to
                           FILE after every block, on SIGUSR1 and on exit

Faults (HID):
  --busy [CMD:]N           answer N status polls with "busy" (3) before the status of every
                           command, or of command CMD (1 to 5) only; N may be "forever"
  --fail [CMD:]N=STATUS    the Nth command since start (or the Nth of command CMD) is not
                           carried out and answers STATUS; repeatable
  --disconnect-after N     serve N requests (feature reports, legacy version queries and
                           byte writes, counted since start), then the device is gone
  --disconnect-error CODE  what a gone device does: 0 (default) closes the connection and
                           every later one; otherwise every request but 'I' answers the OS
                           error CODE (1167 not connected, 31 not functioning)
  --corrupt-byte ADDRESS   a write covering ADDRESS stores there the written byte with every
                           bit flipped, as a keyboard whose memory holds other data than it
                           was sent; reading gives the flipped byte

Legacy driver (kind legacy):
  --legacy-version N       the byte answered to the version query (default 1)
  --dump-legacy FILE       write every byte received by byte writes, in order, to FILE after
                           every write, on SIGUSR1 and on exit

Keyboard behaviour: report 3 carries 136 data bytes each way; report 2 takes a command
(1 commit firmware block, 2 read, 3 write, 4 memory map, 5 start application) and answers its
status (1 done, 2 failed, 3 busy, 5 not allowed). Reads and writes take 1 to 128 bytes that
must lie inside the area (else 5); a write or firmware block needs a data report first
(else 2). Requests the interface cannot serve answer OS error 1 or 87.

Exit status: 0 after a signal, 1 when a socket or file cannot be used, 2 for a bad command line.
)";
}
