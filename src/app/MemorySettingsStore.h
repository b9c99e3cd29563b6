// Settings kept in memory: for tests and for runs that must not touch the user's settings.
#pragma once

#include "app/SettingsStore.h"

#include <map>
#include <utility>

class MemorySettingsStore : public SettingsStore
{
public:
    std::optional<std::string> ReadValue(const std::string& section, const std::string& name) const override;
    bool WriteValue(const std::string& section, const std::string& name, const std::string& value) override;

    size_t ValueCount() const { return m_values.size(); }

private:
    std::map<std::pair<std::string, std::string>, std::string> m_values;
};
