// The editor's comparison of its project with another one, from a file or read from a keyboard:
// a mark for every key of the picture, the other side's key for the panel, the summary, and
// taking the other side's key over. Nothing here points into the editor's project: an undo step
// replaces it, and the marks are made again from whatever project is current.
#pragma once

#include "editor/ColourContrast.h"
#include "model/GridPoint.h"
#include "model/ProjectDiff.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class FunctionList;
class Keyboard;

enum class CompareMark : uint8_t {
    None, // not comparing, or empty on both sides
    Same,
    Changed,
    OnlyHere,  // programmed in this project alone
    OnlyThere, // programmed on the other side alone
};

enum class CompareSource : uint8_t { File, Keyboard };

// "=", "≠", "+", "−" in UTF-8; empty for None.
const char* GetCompareMarkSymbol(CompareMark mark);
// The hue a key of the mark is tinted with; Same and None have none of their own.
std::optional<Rgb> GetCompareMarkHue(CompareMark mark);
// "same", "changed", "only here", "only there"; 0 for None.
uint32_t GetCompareMarkTextId(CompareMark mark);

// What the comparison shows beside the key panel; every text already in the user's language.
struct ComparisonTexts
{
    std::string title;                // "Compared with prices.zqp"
    std::string summary;              // "12 keys differ, 1 option"
    std::vector<std::string> details; // the options and layouts that differ, a line each
    std::string legend;
    // The selected key: its mark, then what the other side holds there, a line each.
    std::vector<std::string> otherKey;
};

class ProjectComparison
{
public:
    bool IsActive() const { return m_other != nullptr; }
    // False, and the comparison as it was, when the other project is of another family.
    bool Start(Keyboard& ours, std::unique_ptr<Keyboard> other, CompareSource source, std::string otherName);
    void End();
    // Compares again when the project's signature is not the one last compared; true when it did.
    bool Follow(Keyboard& ours, const std::string& signature);

    CompareSource GetSource() const { return m_source; }
    const ProjectDiff& GetDiff() const { return m_diff; }
    size_t GetDifferingKeyCount() const { return m_differingKeys; }
    size_t GetDifferingOptionCount() const;

    // The mark of the key drawn at the cell of the layout of this project.
    CompareMark GetMark(Keyboard& ours, GridPoint cell, uint8_t layout) const;
    std::string GetSummary() const;
    // The name of the other side's key where only it is programmed and names were compared: what
    // the picture shows on the empty key here. Empty otherwise.
    std::string GetOtherName(Keyboard& ours, GridPoint cell, uint8_t layout) const;
    // With the other side's key of the cell; cell 0 (the configuration tab) leaves it out.
    ComparisonTexts GetTexts(Keyboard& ours, GridPoint cell, uint8_t layout) const;

    bool CanTakeOtherKey(Keyboard& ours, GridPoint cell, uint8_t layout) const;
    // This project's key at the cell becomes what the other side holds there: codes, mode, type,
    // simple flag, name (a keyboard keeps no names: the key's own stays) and, where the
    // neighbours are free, shape. The function list follows. False when nothing was taken.
    bool TakeOtherKey(Keyboard& ours, GridPoint cell, uint8_t layout, FunctionList& functions);

private:
    void Compare(Keyboard& ours, const std::string& signature);
    // The key's own cell in this project: the master's position.
    static std::optional<GridPoint> KeyPosition(Keyboard& ours, GridPoint cell, uint8_t layout);
    std::vector<std::string> OtherKeyLines(Keyboard& ours, GridPoint cell, uint8_t layout) const;

    std::unique_ptr<Keyboard> m_other;
    CompareSource m_source = CompareSource::File;
    std::string m_otherName;
    std::string m_signature;
    ProjectDiff m_diff;
    // By layout and this project's key number; keys not in it are the same on both sides.
    std::map<std::pair<uint8_t, uint16_t>, CompareMark> m_marks;
    size_t m_differingKeys = 0;
};
