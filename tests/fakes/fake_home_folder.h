#pragma once

#include <string>
#include <utility>

#include "platform/home_folder.h"

namespace tesuko {

class FakeHomeFolder : public HomeFolder {
  public:
    explicit FakeHomeFolder(std::string path) : path_(std::move(path)) {}
    std::string path() override { return path_; }
    std::string configFolder() override { return path_ + "/.config"; }
    std::string cacheFolder() override { return path_ + "/.cache"; }
    std::string stateFolder() override { return path_ + "/.local/state"; }

  private:
    std::string path_;
};

}  // namespace tesuko
