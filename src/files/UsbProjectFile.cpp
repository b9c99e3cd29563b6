// The layout project file (.zqp) of the USB families: writing, reading and the options line.
#include "app/Numbers.h"
#include "io/BufferedFile.h"
#include "io/MemoryFile.h"
#include "io/SafeSave.h"
#include "keycodes/NumberFormat.h"
#include "lang/TextHelpers.h"
#include "model/UsbKeyboardCommon.h"
#include "model/Zq2200Keyboard.h"
#include "model/Zq3300Keyboard.h"

#include <algorithm>
#include <functional>

namespace {

// Shape digits 1 to 3 of a key line and the shape changes they stand for.
constexpr uint8_t kShapeChanges[4] = {0, 0x02, 0x08, 0x1A};
constexpr uint8_t kMaxShapeDigit = 3;

// The number parsers stop at a zero byte; a file line may hold one, and "12<NUL>x" is no number.
template <typename T, typename Parser>
bool ParseWhole(const std::string& text, T& value, T maximum, Parser parse)
{
    return text.find('\0') == std::string::npos && parse(text.c_str(), value, maximum) == ParseOk;
}

bool ParseByte(const std::string& text, uint8_t& value, uint8_t maximum)
{
    return ParseWhole<uint8_t>(text, value, maximum,
                               [](const char* t, uint8_t& v, uint8_t m) { return ParseU8(t, v, m); });
}

bool ParseWord(const std::string& text, uint16_t& value, uint16_t maximum)
{
    return ParseWhole<uint16_t>(text, value, maximum,
                                [](const char* t, uint16_t& v, uint16_t m) { return ParseU16(t, v, m); });
}

// One token of the options line other than "LC"; false when it is unknown or refused.
bool ApplyOptionToken(UsbKeyboardCommon& keyboard, const std::string& token,
                      const std::function<bool(const std::string&)>& layoutToken)
{
    uint8_t value = 0;
    if (token.size() > 5 && StartsWithIgnoringCase(token, "RFID=")) {
        std::string digits = token.substr(5);
        const bool numericOnly = ToLowerAscii(digits.back()) == 'n';
        if (numericOnly) {
            digits.pop_back();
        }
        if (digits.empty() || !ParseByte(digits, value, 255) || !keyboard.SetRfidDigits(value)) {
            return false;
        }
        return keyboard.SetRfidNumericOnly(numericOnly);
    }
    if (EqualsIgnoringCase(token, "MB")) {
        return keyboard.SetKeysType(0);
    }
    if (token == "T") {
        return keyboard.SetKeysType(1);
    }
    if (token.size() <= 2) {
        return false;
    }
    const std::string rest = token.substr(2);
    if (StartsWithIgnoringCase(token, "P=")) {
        return ParseByte(rest, value, 255) && keyboard.SetKeyPause(value);
    }
    if (StartsWithIgnoringCase(token, "R=")) {
        return ParseByte(rest, value, 255) && keyboard.SetTypematicRate(value);
    }
    if (StartsWithIgnoringCase(token, "D=")) {
        return ParseByte(rest, value, 255) && keyboard.SetTypematicDelay(value);
    }
    if (StartsWithIgnoringCase(token, "KP")) {
        return keyboard.GetAffixCell(true).ParseCodesText(rest);
    }
    if (StartsWithIgnoringCase(token, "KS")) {
        return keyboard.GetAffixCell(false).ParseCodesText(rest);
    }
    if (StartsWithIgnoringCase(token, "LC")) {
        return layoutToken(rest);
    }
    return false;
}

// Applies every token it can; true when none was refused. The family reads the "LC" rest.
bool ApplyOptionTokens(UsbKeyboardCommon& keyboard, const std::string& text,
                       const std::function<bool(const std::string&)>& layoutToken)
{
    bool accepted = true;
    size_t start = 0;
    while (start < text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) {
            comma = text.size();
        }
        if (!ApplyOptionToken(keyboard, text.substr(start, comma - start), layoutToken)) {
            accepted = false;
        }
        start = comma + 1;
    }
    return accepted;
}

// Everything before "LC" in the order both families write it.
std::string FormatCommonOptions(const Keyboard& keyboard, const std::string& prefix,
                                const std::string& suffix)
{
    return "RFID=" + FormatUnsigned(keyboard.GetRfidDigits()) + (keyboard.GetRfidNumericOnly() ? "N" : "") +
           (keyboard.GetKeysType() != 0 ? ",T" : ",MB") + ",P=" + FormatUnsigned(keyboard.GetKeyPause()) +
           ",R=" + FormatUnsigned(keyboard.GetTypematicRate()) +
           ",D=" + FormatUnsigned(keyboard.GetTypematicDelay()) + ",KP" + prefix + ",KS" + suffix;
}

bool WriteProjectLines(UsbKeyboard& keyboard, BufferedFile& file, uint8_t form)
{
    if (!file.WriteLine(keyboard.GetFileMagic())) {
        return false;
    }
    if (keyboard.HasOptionsLine()) {
        const std::string options = keyboard.FormatOptionsLine();
        if (!options.empty() && !file.WriteLine(options)) {
            return false;
        }
    }
    uint16_t columns = 0;
    uint16_t rows = 0;
    keyboard.GetGridSize(&columns, &rows);
    for (uint8_t layout = 1; layout <= keyboard.GetLayoutCount(); ++layout) {
        for (uint16_t row = 1; row <= rows; ++row) {
            for (uint16_t column = 1; column <= columns; ++column) {
                const uint16_t index = keyboard.GetCellIndex(column, row, layout);
                KeyCell* cell = nullptr;
                uint8_t shape = 0;
                if (!keyboard.GetCellByIndex(index, &cell) ||
                    keyboard.IsSkippedOnSave(column, row, layout, cell, &shape)) {
                    continue;
                }
                const std::string line = FormatUnsigned(index) +
                                         (shape == 0 ? ":" : ":G" + FormatUnsigned(shape) + ",") +
                                         cell->FormatCodesText(form);
                if (!file.WriteLine(line)) {
                    return false;
                }
            }
        }
    }
    return true;
}

// One key line after the options were accepted; false sets the reader's error mark.
bool ReadKeyLine(UsbKeyboardCommon& keyboard, const std::string& numberText, std::string codes)
{
    bool accepted = true;
    uint8_t change = 0;
    if (!codes.empty() && ToLowerAscii(codes[0]) == 'g') {
        const size_t comma = codes.find(',');
        if (comma == std::string::npos) {
            return false;
        }
        uint8_t shape = 0;
        if (ParseByte(codes.substr(1, comma - 1), shape, kMaxShapeDigit) && shape != 0) {
            change = kShapeChanges[shape];
        } else {
            accepted = false;
        }
        codes.erase(0, comma + 1);
    }
    uint16_t index = 0;
    if (!ParseWord(numberText, index, keyboard.GetCellCount(true)) || index == 0) {
        return false;
    }
    UsbKeyCell* cell = nullptr;
    if (!keyboard.LookupCell(index, &cell)) {
        return accepted;
    }
    uint16_t column = 0;
    uint16_t row = 0;
    uint8_t layout = 0;
    cell->GetPosition(&column, &row, &layout);
    cell->SetLayoutLimit(keyboard.GetLayoutLimitAt(column, row, layout));
    if (cell->IsProgrammed()) {
        return false;
    }
    if (!cell->ParseCodesText(codes)) {
        accepted = false;
    }
    if (cell->IsLayoutSwitch() && !keyboard.LinkLayoutSwitchKey(column, row, layout)) {
        accepted = false;
    }
    if (change != 0 && !keyboard.ChangeShape(column, row, change, layout)) {
        accepted = false;
    }
    return accepted;
}

// The codes form to write; format 0 becomes the default, stored back.
uint8_t ChooseForm(uint8_t* format)
{
    if (format == nullptr) {
        return 1;
    }
    if (*format == 0) {
        *format = 1;
    }
    return *format;
}

} // namespace

bool UsbKeyboard::SaveFile(const std::string& path, uint8_t* format)
{
    const uint8_t form = ChooseForm(format);
    return SaveFileSafely(path, BufferedFile::LineEndCrLf,
                          [this, form](BufferedFile& file) { return WriteProjectLines(*this, file, form); });
}

bool UsbKeyboard::SaveToMemory(std::string& text, uint8_t* format)
{
    const uint8_t form = ChooseForm(format);
    return WriteToMemory(text, BufferedFile::LineEndCrLf,
                         [this, form](BufferedFile& file) { return WriteProjectLines(*this, file, form); });
}

bool UsbKeyboardCommon::LoadFile(const std::string& path, uint8_t* format)
{
    BufferedFile file;
    m_loadErrorOffset = kNoLoadErrorOffset;
    if (!file.Open(path, true, BufferedFile::LineEndDefault)) {
        NoteLoadError(0);
        return false;
    }
    return ReadProjectLines(file, format);
}

bool UsbKeyboardCommon::LoadFromMemory(const std::string& text, uint8_t* format)
{
    MemoryFile file(text, BufferedFile::LineEndDefault);
    return ReadProjectLines(file, format);
}

bool UsbKeyboardCommon::ReadProjectLines(BufferedFile& file, uint8_t* format)
{
    std::string line;
    m_loadErrorOffset = kNoLoadErrorOffset;
    // The magic is compared as read: a blank after it is another file type.
    if (!file.ReadLine(line) || !EqualsIgnoringCase(line, GetFileMagic())) {
        NoteLoadError(0);
        return false;
    }
    if (format != nullptr) {
        *format = 1;
    }
    bool error = true;
    bool optionsAccepted = false;
    // Key lines mean nothing until the layouts are known; those dropped before the options
    // stay an error even when a later options line is accepted.
    bool keyLinesDropped = false;
    // A refused options line is an error only while no later one is accepted.
    uint32_t refusedOptionsOffset = kNoLoadErrorOffset;
    for (uint32_t lineStart = file.Tell(); file.ReadLine(line); lineStart = file.Tell()) {
        const std::string text = TrimLeading(line, kWhiteSpace);
        if (text.empty() || text[0] == ';' || text[0] == '#') {
            continue;
        }
        const auto textStart = static_cast<uint32_t>(lineStart + (line.size() - text.size()));
        const size_t colon = text.find(':');
        if (colon == std::string::npos || colon == 0) {
            if (!optionsAccepted) {
                optionsAccepted = ParseOptionsLine(TrimTrailing(text, kWhiteSpace));
                error = !optionsAccepted;
                if (error) {
                    refusedOptionsOffset = std::min(refusedOptionsOffset, textStart);
                }
            }
        } else if (!optionsAccepted) {
            keyLinesDropped = true;
            NoteLoadError(textStart);
        } else if (!ReadKeyLine(*this, text.substr(0, colon), text.substr(colon + 1))) {
            error = true;
            NoteLoadError(textStart);
        }
    }
    if (!optionsAccepted) {
        m_loadErrorOffset = std::min(m_loadErrorOffset, refusedOptionsOffset);
    }
    // A read failure part-way means the rest of the file was never seen.
    if (file.LastError() != 0) {
        error = true;
    }
    file.Close();
    return !error && !keyLinesDropped;
}

bool Zq2200Keyboard::ParseOptionsLine(const std::string& text)
{
    uint8_t layouts = 0;
    bool accepted = ApplyOptionTokens(*this, text, [&layouts](const std::string& rest) {
        uint8_t count = 0;
        if (!ParseByte(rest, count, kMaxLayouts) || count == 0) {
            return false;
        }
        layouts = count;
        return true;
    });
    if (layouts != 0) {
        Convert(static_cast<uint8_t>(layouts + 3), nullptr);
        accepted = accepted && m_layoutCount == layouts;
    }
    return accepted;
}

std::string Zq2200Keyboard::FormatOptionsLine() const
{
    return FormatCommonOptions(*this, m_prefix.FormatCodesText(1), m_suffix.FormatCodesText(1)) + ",LC" +
           FormatUnsigned(m_layoutCount);
}

bool Zq3300Keyboard::ParseOptionsLine(const std::string& text)
{
    uint8_t perSide = 0;
    bool isDouble = false;
    const uint8_t maxPerSide = m_maxLayoutsPerSide;
    const bool accepted =
        ApplyOptionTokens(*this, text, [&perSide, &isDouble, maxPerSide](const std::string& rest) {
            if (rest.size() < 2) {
                return false;
            }
            const char kind = ToLowerAscii(rest.back());
            uint8_t count = 0;
            if ((kind != 'd' && kind != 's') ||
                !ParseByte(rest.substr(0, rest.size() - 1), count, maxPerSide) || count == 0) {
                return false;
            }
            perSide = count;
            isDouble = kind == 'd';
            return true;
        });
    // Without a known variant the key numbers would land in the wrong layouts.
    if (perSide == 0 || !accepted) {
        return false;
    }
    return SwitchVariant(perSide, isDouble);
}

std::string Zq3300Keyboard::FormatOptionsLine() const
{
    const std::string count =
        m_double != 0 ? FormatUnsigned(m_layoutCount / 2u) + "D" : FormatUnsigned(m_layoutCount) + "S";
    return FormatCommonOptions(*this, m_prefix.FormatCodesText(1), m_suffix.FormatCodesText(1)) + ",LC" +
           count;
}
