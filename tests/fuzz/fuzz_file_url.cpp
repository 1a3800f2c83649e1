// SPDX-License-Identifier: GPL-3.0-or-later
// Stored settings text is outside the program's control: deriving a folder,
// and a file name from it must hold their invariants for any bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/file_url.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);

    std::string decoded = tesuko::percentDecode(text);
    if (decoded.size() > text.size()) {
        std::abort();
    }
    tesuko::FolderAndFile split = tesuko::splitFolderAndFile(decoded);
    if (split.folder.empty() || split.folder.front() != '/' || split.folder.back() != '/' ||
        split.fileName.find('/') != std::string::npos) {
        std::abort();
    }

    // A chosen file's URL text must lead back to exactly that file.
    std::string chosen = "/" + std::string(text);
    std::string url = tesuko::fileUrlFromPath(chosen);
    tesuko::FolderAndFile location = tesuko::splitFolderAndFile(url);
    if (tesuko::percentDecode(url) != "file://" + chosen ||
        tesuko::percentDecode(location.folder) + tesuko::percentDecode(location.fileName) !=
            chosen) {
        std::abort();
    }
    return 0;
}
