// SPDX-License-Identifier: GPL-3.0-or-later
// Linked into every test program: each runs with a home and XDG folders of
// its own, so that no test reads or writes the real home (Qt's file dialog,
// for one, writes ~/.config/QtProject.conf).
#include <stdlib.h>

#include <filesystem>
#include <string>

namespace {

class PrivateHome {
  public:
    PrivateHome() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tesuko-home-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            return;
        }
        root_ = pattern;
        ::setenv("HOME", root_.c_str(), 1);
        for (const char* variable : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                                     "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
            std::string folder = root_ + "/" + variable;
            std::filesystem::create_directory(folder);
            std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
            ::setenv(variable, folder.c_str(), 1);
        }
    }
    ~PrivateHome() {
        std::error_code ignored;
        if (!root_.empty()) {
            std::filesystem::remove_all(root_, ignored);
        }
    }
    PrivateHome(const PrivateHome&) = delete;
    PrivateHome& operator=(const PrivateHome&) = delete;

  private:
    std::string root_;
};

const PrivateHome privateHome;

}  // namespace
