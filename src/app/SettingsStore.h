// Per-user key-value storage of settings, addressed by section and value name.
#pragma once

#include <optional>
#include <string>

class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    // No value when the name is absent from the section.
    virtual std::optional<std::string> ReadValue(const std::string& section,
                                                 const std::string& name) const = 0;
    virtual bool WriteValue(const std::string& section, const std::string& name,
                            const std::string& value) = 0;
};
