// The named key programmings behind the "Programmed keys:" drop-down, and the free functions
// that stay behind when a key is cleared.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class KeyCell;
class Keyboard;

struct FunctionEntry
{
    uint16_t keyNumber = 0; // 0: the entry belongs to no key
    std::string name;
    std::string codesText; // FormatCodesText (0) of the key
};

// Entries count from 1; index 0 answers "none". A key is identified by its master cell's key
// number, so any cell of a merged key stands for the whole key.
class FunctionList
{
public:
    static constexpr uint16_t kCapacity = 512;

    void Empty();
    // Keeps the entries as free functions, as after reading a keyboard's programming back.
    void ForgetKeys();
    // Drops the entries of keys and keeps the free functions: for a project whose keys were
    // renumbered or dropped wholesale, as by a conversion, before it is filled from all keys.
    void RemoveKeyEntries();

    // The first entry at or after start with this key number / exactly this codes text; 0 when none.
    uint16_t FindByKeyNumber(uint16_t keyNumber, uint16_t start = 1) const;
    uint16_t FindByCodesText(const std::string& codesText, uint16_t start = 1) const;

    // Takes a programmed key that is no layout switch; false when the cell is not taken.
    bool AddOrUpdate(const KeyCell& cell);
    // Frees the key's entry (dropped when another key still holds its codes). True when the list
    // held the cell's current codes for it; always true for a layout switch, which is never listed.
    bool Remove(const KeyCell& cell);
    // Moves the entry of key a to key b after a shape change gave the key another master.
    bool Renumber(uint16_t from, uint16_t to);
    // Gives the entry's name and codes to the cell; false when the index is out of range or the
    // cell refuses either.
    bool ApplyEntry(uint16_t index, KeyCell& cell) const;
    // The same with an entry the caller holds, which stays valid while the list changes.
    static bool ApplyEntry(const FunctionEntry& entry, KeyCell& cell);

    // By name ignoring letter case, ties by ascending key number.
    void Sort();
    // The name, " (key number)" when a neighbour of the same name also belongs to a key, " *"
    // when the entry belongs to a key. Meant for the sorted list.
    std::string GetLabel(uint16_t index) const;
    uint16_t GetCount() const { return static_cast<uint16_t>(m_entries.size()); }
    // Null when the index is out of range.
    const FunctionEntry* GetEntry(uint16_t index) const;

    // Adds or updates every programmed key of every layout once (layout switches left out).
    // False when a key found no room.
    bool FillFromAllKeys(Keyboard& keyboard);
    // Sorts, then answers the drop-down's lines in entry order; an empty label reads
    // "Error <position>".
    std::vector<std::string> Rebuild();

private:
    // Gives up the entry's key; drops the entry when another key holds the same codes.
    void ReleaseEntry(uint16_t index);
    bool AnotherKeyHolds(const std::string& codesText, uint16_t except) const;

    std::vector<FunctionEntry> m_entries;
};
