// Key-by-key comparison of two projects of one family: what differs in each key and in the
// keyboard-wide options, for zqtool's diff and the editor's compare marking.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

class Keyboard;

enum class DiffField : uint8_t {
    Layout, // a layout one side has and the other has not
    Codes,
    Mode,
    KeyType,
    SimpleKey,
    Shape,
    Name,
    Option, // a keyboard-wide option; the row's option names it
};

// "layout", "codes", "mode", "type", "simple", "shape", "name", "option".
const char* GetDiffFieldName(DiffField field);

// How a key of A stands against the key at its place in B.
enum class KeyDiffState : uint8_t {
    Same,
    Changed,
    OnlyA, // programmed in A; empty or missing in B
    OnlyB,
};

struct DiffRow
{
    DiffField field = DiffField::Codes;
    uint8_t layout = 0; // 0 for an option
    uint16_t column = 0;
    uint16_t row = 0;
    uint16_t key = 0; // A's key number there, else B's; 0 for a layout or an option
    std::string option;
    std::string a; // readable values; empty where a side has nothing
    std::string b;
};

struct DiffSettings
{
    bool ignoreNames = false;
    // B was read from a keyboard: only what a keyboard holds is compared (no names; no simple-key
    // flag of keys whose kind overrules it on the device).
    bool bFromKeyboard = false;
};

struct ProjectDiff
{
    bool comparable = false; // false when the families differ: nothing was compared
    std::vector<DiffRow> rows;
    std::vector<DiffField> compared; // the key fields compared, in output order
    std::vector<std::string> notes;  // why a field was left out where it was

    bool IsEqual() const { return comparable && rows.empty(); }
    // The state of the key that the position belongs to; Same for a position of no difference.
    KeyDiffState GetKeyState(uint8_t layout, uint16_t column, uint16_t row) const;

    // Key states by (layout, column, row) of the key's own position in A, else in B.
    std::map<std::tuple<uint8_t, uint16_t, uint16_t>, KeyDiffState> keyStates;
};

// Both projects are read only, but the model's getters are not const.
ProjectDiff CompareProjects(Keyboard& a, Keyboard& b, const DiffSettings& settings);
