#pragma once

#include "platform/home_folder.h"

namespace tesuko {

// $HOME, or the password database when it is unset; the XDG base folders,
// or their defaults under the home folder when unset, empty or relative.
class EnvHomeFolder : public HomeFolder {
  public:
    std::string path() override;
    std::string configFolder() override;
    std::string cacheFolder() override;
    std::string stateFolder() override;
};

}  // namespace tesuko
