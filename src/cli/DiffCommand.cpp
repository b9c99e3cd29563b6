// 'zqtool diff': two projects, or a project and the connected keyboard, key by key.
#include "cli/CliCommands.h"
#include "cli/CliProject.h"
#include "cli/ProgressBar.h"

#include "device/DeviceResult.h"
#include "lang/TextHelpers.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/ProjectDiff.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

// As diff(1) and cmp(1).
enum DiffExit : int {
    DiffEqual = 0,
    DiffDifferent = 1,
    DiffTrouble = 2,
};

// A project compared must have been read whole: a partly decoded one would differ where the file does not.
std::unique_ptr<Keyboard> OpenWhole(const std::string& path)
{
    OpenedProject project;
    uint8_t format = 0;
    if (OpenProject(path, project, format) != ExitOk) {
        return nullptr;
    }
    return std::move(project.keyboard);
}

// What the keyboard holds, in a project of A's type; null after the message.
std::unique_ptr<Keyboard> ReadKeyboard(Keyboard& a, const CliArguments& arguments)
{
    std::unique_ptr<Keyboard> keyboard = CreateKeyboard(a.GetTypeId());
    if (!keyboard || !keyboard->CanDownloadSequences()) {
        PrintMessage("zqtool: a " + GetFamilyName(a) +
                     " keyboard cannot be read; only ZQ-2200 and ZQ-3300 ones");
        return nullptr;
    }
    PrepareForDevice(*keyboard, arguments);
    ProgressBar bar(ProgressBar::TerminalOrNull(stderr));
    PrepareBar(bar, *keyboard);
    const int result = keyboard->DownloadSequences(&bar);
    bar.Finish(result == DeviceResultOk);
    if (result != DeviceResultOk) {
        ReportResult(result, *keyboard, arguments, "keyboard: ");
        return nullptr;
    }
    return keyboard;
}

std::string FieldName(const DiffRow& row)
{
    return row.field == DiffField::Option ? row.option : GetDiffFieldName(row.field);
}

bool HasKey(const DiffRow& row)
{
    return row.field != DiffField::Option && row.field != DiffField::Layout;
}

std::string RowJson(const DiffRow& row)
{
    return JsonObject()
        .Raw("layout", row.field == DiffField::Option ? "null" : std::to_string(row.layout))
        .Raw("key", HasKey(row) ? std::to_string(row.key) : "null")
        .Raw("column", HasKey(row) ? std::to_string(row.column) : "null")
        .Raw("row", HasKey(row) ? std::to_string(row.row) : "null")
        .Text("field", FieldName(row))
        .Text("a", row.a)
        .Text("b", row.b)
        .Str();
}

std::string RowLine(const DiffRow& row)
{
    auto value = [](const std::string& text) {
        return text.empty() ? std::string("-") : EscapeControlCharacters(text);
    };
    return (row.field == DiffField::Option ? "-" : std::to_string(row.layout)) + "\t" +
           (HasKey(row) ? std::to_string(row.key) : "-") + "\t" + FieldName(row) + "\t" + value(row.a) +
           "\t" + value(row.b) + "\n";
}

std::string ComparedText(const ProjectDiff& diff)
{
    std::string text;
    for (const DiffField field : diff.compared) {
        text += (text.empty() ? "" : ", ") + std::string(GetDiffFieldName(field));
    }
    return text;
}

} // namespace

int RunDiff(const CliArguments& arguments)
{
    const std::string& pathA = arguments.operands[0];
    std::unique_ptr<Keyboard> a = OpenWhole(pathA);
    if (!a) {
        return DiffTrouble;
    }
    std::unique_ptr<Keyboard> b =
        arguments.keyboard ? ReadKeyboard(*a, arguments) : OpenWhole(arguments.operands[1]);
    if (!b) {
        return DiffTrouble;
    }
    DiffSettings settings;
    settings.ignoreNames = arguments.ignoreNames;
    settings.bFromKeyboard = arguments.keyboard;
    const ProjectDiff diff = CompareProjects(*a, *b, settings);
    const std::string nameB = arguments.keyboard ? "the keyboard" : arguments.operands[1];
    if (!diff.comparable) {
        PrintMessage("zqtool: " + pathA + " is a " + GetFamilyName(*a) + " project, " + nameB + " a " +
                     GetFamilyName(*b) + " one: only projects of one family compare");
        return DiffTrouble;
    }
    if (arguments.json) {
        std::vector<std::string> rows;
        std::vector<std::string> compared;
        std::vector<std::string> notes;
        for (const DiffRow& row : diff.rows) {
            rows.push_back(RowJson(row));
        }
        for (const DiffField field : diff.compared) {
            compared.push_back(JsonString(GetDiffFieldName(field)));
        }
        for (const std::string& note : diff.notes) {
            notes.push_back(JsonString(note));
        }
        std::printf("%s\n", JsonObject()
                                .Bool("equal", diff.IsEqual())
                                .Raw("compared", JsonArray(compared))
                                .Raw("notes", JsonArray(notes))
                                .Raw("differences", JsonArray(rows))
                                .Str()
                                .c_str());
    } else {
        for (const DiffRow& row : diff.rows) {
            std::fputs(RowLine(row).c_str(), stdout);
        }
    }
    // What was left out matters to a reader; scripts have it in the JSON.
    if (!arguments.json && ProgressBar::TerminalOrNull(stderr) != nullptr) {
        std::string said =
            "zqtool: compared " + ComparedText(diff) + " of each key and the keyboard-wide options";
        for (const std::string& note : diff.notes) {
            said += "\nzqtool: " + note;
        }
        PrintMessage(said);
    }
    return diff.IsEqual() ? DiffEqual : DiffDifferent;
}
