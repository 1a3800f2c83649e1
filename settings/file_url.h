// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace tesuko {

// Decodes every well-formed "%XY" escape (either case of hex digit) as a byte;
// a malformed escape ("%G1", a lone "%") stays as it is.
std::string percentDecode(std::string_view text);

// File URL text of an absolute path: "file://" and the path, every byte that a
// URL path cannot hold written as "%XY" with upper-case hex digits.
std::string fileUrlFromPath(std::string_view absolutePath);

// A location held as folder and file name, the folder beginning and ending with "/".
struct FolderAndFile {
    std::string folder;
    std::string fileName;
};

// Splits file URL text at "/" into pieces, drops pieces 0 to 2 (scheme and the
// empty host), makes pieces 3 to n-2 the folder and piece n-1 the file name.
// Fewer than five pieces give the root folder.
FolderAndFile splitFolderAndFile(std::string_view urlText);

}  // namespace tesuko
