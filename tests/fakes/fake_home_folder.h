// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "platform/home_folder.h"

namespace tesuko {

class FakeHomeFolder : public HomeFolder {
  public:
    explicit FakeHomeFolder(std::string path, std::optional<std::string> desktop = std::nullopt)
        : path_(std::move(path)), desktop_(std::move(desktop)) {}
    std::string path() override { return path_; }
    std::string configFolder() override { return path_ + "/.config"; }
    std::string cacheFolder() override { return path_ + "/.cache"; }
    std::string stateFolder() override { return path_ + "/.local/state"; }
    std::string desktopFolder() override { return desktop_.value_or(path_ + "/Desktop"); }

  private:
    std::string path_;
    std::optional<std::string> desktop_;
};

}  // namespace tesuko
