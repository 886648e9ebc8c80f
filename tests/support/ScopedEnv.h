#pragma once
// Sets (or with nothing, unsets) an environment variable for the lifetime of
// the object and restores the old value afterwards.

#include <cstdlib>
#include <optional>
#include <string>

namespace pictova::test {

class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : Name(name) {
        if (const char* old = std::getenv(name))
            Old = old;
        Set(value);
    }
    ~ScopedEnv() { Set(Old); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Set(const std::optional<std::string>& value) {
        if (value)
            ::setenv(Name, value->c_str(), 1);
        else
            ::unsetenv(Name);
    }
    const char* Name;
    std::optional<std::string> Old;
};

} // namespace pictova::test
