#pragma once

#include "platform/home_folder.h"

namespace tesuko {

// $HOME, or the password database when it is unset.
class EnvHomeFolder : public HomeFolder {
  public:
    std::string path() override;
};

}  // namespace tesuko
