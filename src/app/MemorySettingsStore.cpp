#include "app/MemorySettingsStore.h"

std::optional<std::string> MemorySettingsStore::ReadValue(const std::string& section,
                                                          const std::string& name) const
{
    const auto found = m_values.find({section, name});
    if (found == m_values.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool MemorySettingsStore::WriteValue(const std::string& section, const std::string& name,
                                     const std::string& value)
{
    m_values[{section, name}] = value;
    return true;
}
