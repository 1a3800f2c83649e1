#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace tesuko {

// Sets environment variables for one test and puts the old values back after it.
class ScopedEnv {
  public:
    ScopedEnv() = default;
    ~ScopedEnv() {
        for (const auto& [name, value] : saved_) {
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    void set(const std::string& name, const std::string& value) {
        save(name);
        ::setenv(name.c_str(), value.c_str(), 1);
    }
    void unset(const std::string& name) {
        save(name);
        ::unsetenv(name.c_str());
    }

  private:
    void save(const std::string& name) {
        const char* value = std::getenv(name.c_str());
        saved_.try_emplace(name, value ? std::optional<std::string>(value) : std::nullopt);
    }

    std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace tesuko
