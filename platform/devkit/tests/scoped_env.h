#pragma once
// Sets an environment variable for a scope and puts back what was there before (set or
// not), so that a test changing a process-wide setting leaves the next test the same
// process it found.
#include <stdlib.h>

#include <optional>
#include <string>

class ScopedEnv
{
public:
    // value null: the variable is unset for the scope.
    ScopedEnv(const char *name, const char *value) : m_name(name)
    {
        if (const char *old = getenv(name))
            m_old = old;
        if (value != nullptr)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_old)
            setenv(m_name.c_str(), m_old->c_str(), 1);
        else
            unsetenv(m_name.c_str());
    }
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};
