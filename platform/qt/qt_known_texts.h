// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <span>

namespace tesuko {

// Our own words in the user's language, where they reach the user from the
// core in English: `text` is matched against the English texts `known` (of
// the translation `context`), in which "%1" and "%2" stand for parts that
// vary; each part, and each part of a part, is looked up in `knownParts`.
// Text that matches none, such as what the system says, stays as it came.
QString translatedKnownText(const char* context, const QString& text,
                            std::span<const char* const> known,
                            std::span<const char* const> knownParts = {});

}  // namespace tesuko
