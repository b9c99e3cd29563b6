// Sets an environment variable for the life of the object, then puts the old value back.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

class ScopedEnvironment
{
public:
    ScopedEnvironment(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        Set(value.c_str());
    }
    ~ScopedEnvironment() { Set(m_old ? m_old->c_str() : nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    // nullptr: unset.
    void Set(const char* value) const
    {
#ifdef _WIN32
        ::_putenv_s(m_name, value != nullptr ? value : "");
#else
        if (value != nullptr) {
            ::setenv(m_name, value, 1);
        } else {
            ::unsetenv(m_name);
        }
#endif
    }

    const char* m_name;
    std::optional<std::string> m_old;
};
