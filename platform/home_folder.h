#pragma once

#include <string>

namespace tesuko {

class HomeFolder {
  public:
    virtual ~HomeFolder() = default;

    // The user's home folder, without a trailing "/".
    virtual std::string path() = 0;
};

}  // namespace tesuko
