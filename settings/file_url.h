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

}  // namespace tesuko
