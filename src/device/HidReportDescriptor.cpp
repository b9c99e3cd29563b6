#include "device/HidReportDescriptor.h"

#include <array>
#include <vector>

namespace {

constexpr uint8_t kLongItemPrefix = 0xFE;

constexpr uint8_t kTypeMain = 0;
constexpr uint8_t kTypeGlobal = 1;

constexpr uint8_t kMainInput = 0x8;
constexpr uint8_t kMainOutput = 0x9;
constexpr uint8_t kMainCollection = 0xA;
constexpr uint8_t kMainFeature = 0xB;
constexpr uint8_t kMainEndCollection = 0xC;

constexpr uint8_t kGlobalReportSize = 0x7;
constexpr uint8_t kGlobalReportId = 0x8;
constexpr uint8_t kGlobalReportCount = 0x9;
constexpr uint8_t kGlobalPush = 0xA;
constexpr uint8_t kGlobalPop = 0xB;

// Deeper nesting than this is no real device; the bound keeps a hostile descriptor small.
constexpr size_t kMaxPushDepth = 16;
// The report id byte must still fit the 16-bit length.
constexpr uint64_t kMaxReportBits = (0xFFFFull - 1) * 8;

enum ReportKind { KindInput, KindOutput, KindFeature, KindCount };

struct GlobalState
{
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint8_t reportId = 0;
};

struct Parser
{
    GlobalState global;
    std::vector<GlobalState> stack;
    size_t collectionDepth = 0;
    bool usesReportIds = false;
    // Bits per report id, per kind; 64 bits so that no sum of 32-bit products can wrap.
    std::array<std::array<uint64_t, 256>, KindCount> bits{};

    bool AddMainItem(ReportKind kind)
    {
        uint64_t& total = bits[kind][global.reportId];
        total += static_cast<uint64_t>(global.reportSize) * global.reportCount;
        return total <= kMaxReportBits;
    }

    bool Main(uint8_t tag)
    {
        switch (tag) {
        case kMainInput:
            return AddMainItem(KindInput);
        case kMainOutput:
            return AddMainItem(KindOutput);
        case kMainFeature:
            return AddMainItem(KindFeature);
        case kMainCollection:
            ++collectionDepth;
            return true;
        case kMainEndCollection:
            if (collectionDepth == 0) {
                return false;
            }
            --collectionDepth;
            return true;
        default:
            return true;
        }
    }

    bool Global(uint8_t tag, uint32_t value)
    {
        switch (tag) {
        case kGlobalReportSize:
            global.reportSize = value;
            return true;
        case kGlobalReportCount:
            global.reportCount = value;
            return true;
        case kGlobalReportId:
            if (value == 0 || value > 255) {
                return false;
            }
            global.reportId = static_cast<uint8_t>(value);
            usesReportIds = true;
            return true;
        case kGlobalPush:
            if (stack.size() >= kMaxPushDepth) {
                return false;
            }
            stack.push_back(global);
            return true;
        case kGlobalPop:
            if (stack.empty()) {
                return false;
            }
            global = stack.back();
            stack.pop_back();
            return true;
        default:
            return true;
        }
    }

    uint16_t LongestReport(ReportKind kind) const
    {
        uint64_t longest = 0;
        for (uint64_t reportBits : bits[kind]) {
            const uint64_t bytes = (reportBits + 7) / 8;
            if (bytes > longest) {
                longest = bytes;
            }
        }
        return longest == 0 ? 0 : static_cast<uint16_t>(longest + 1);
    }
};

} // namespace

bool ParseHidReportDescriptor(const uint8_t* data, size_t size, HidReportLengths& lengths)
{
    lengths = HidReportLengths{};
    if (data == nullptr && size != 0) {
        return false;
    }
    Parser parser;
    size_t pos = 0;
    while (pos < size) {
        const uint8_t prefix = data[pos++];
        if (prefix == kLongItemPrefix) {
            // Long items carry their own size: bDataSize, bLongItemTag, then the data.
            if (size - pos < 2) {
                return false;
            }
            const size_t dataSize = data[pos];
            pos += 2;
            if (size - pos < dataSize) {
                return false;
            }
            pos += dataSize;
            continue;
        }
        const size_t dataSize = (prefix & 0x3) == 3 ? 4 : (prefix & 0x3);
        if (size - pos < dataSize) {
            return false;
        }
        uint32_t value = 0;
        for (size_t i = 0; i < dataSize; ++i) {
            value |= static_cast<uint32_t>(data[pos + i]) << (8 * i);
        }
        pos += dataSize;
        const uint8_t type = (prefix >> 2) & 0x3;
        const uint8_t tag = prefix >> 4;
        const bool accepted = type == kTypeMain     ? parser.Main(tag)
                              : type == kTypeGlobal ? parser.Global(tag, value)
                                                    : true; // local and reserved items
        if (!accepted) {
            return false;
        }
    }
    if (parser.collectionDepth != 0) {
        return false;
    }
    lengths.input = parser.LongestReport(KindInput);
    lengths.output = parser.LongestReport(KindOutput);
    lengths.feature = parser.LongestReport(KindFeature);
    lengths.usesReportIds = parser.usesReportIds;
    for (size_t id = 0; id < parser.bits[KindFeature].size(); ++id) {
        lengths.featureIds[id] = parser.bits[KindFeature][id] != 0;
    }
    return true;
}
