// zqtool codes: the key code table of a family, as the editor's palette lists it.
#include "cli/CliCommands.h"
#include "cli/CliProject.h"

#include "keycodes/KeyCodeCatalogue.h"

#include <cstdio>
#include <string>
#include <vector>

int RunCodes(const CliArguments& arguments)
{
    const KeyCodeFamily family = arguments.family == 1100 ? KeyCodeFamily::Legacy : KeyCodeFamily::Usb;
    std::vector<std::string> codes;
    for (const KeyCodeEntry& entry : GetKeyCodeCatalogue(family)) {
        if (!MatchesKeyCodeSearch(entry, family, arguments.search)) {
            continue;
        }
        const std::string code = FormatKeyCodeNumber(entry, family);
        if (arguments.json) {
            std::vector<std::string> values;
            for (const uint32_t value : entry.codes) {
                values.push_back(std::to_string(value));
            }
            codes.push_back(JsonObject()
                                .Text("group", GetKeyCodeGroupKey(entry.group))
                                .Text("groupName", GetKeyCodeGroupName(entry.group))
                                .Text("code", code)
                                .Text("name", entry.name)
                                .Text("caption", entry.caption)
                                .Text("aliases", entry.aliases)
                                .Raw("values", JsonArray(values))
                                .Str());
        } else {
            std::printf("%s\t%s\t%s\t%s\n", GetKeyCodeGroupKey(entry.group), code.c_str(), entry.name.c_str(),
                        entry.aliases.c_str());
            codes.emplace_back();
        }
    }
    if (arguments.json) {
        std::printf("%s\n", JsonObject()
                                .Text("family", "ZQ-" + std::to_string(arguments.family))
                                .Raw("codes", JsonArray(codes))
                                .Str()
                                .c_str());
    }
    return codes.empty() ? ExitCannotOpen : ExitOk;
}
