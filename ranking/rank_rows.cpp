// SPDX-License-Identifier: GPL-3.0-or-later
#include "ranking/rank_rows.h"

#include <unicode/locid.h>
#include <unicode/numberformatter.h>

#include <algorithm>

#include "ranking/shift_jis_width.h"

namespace tesuko {

namespace {

constexpr std::size_t kNameColumnWidth = 40;

// Whole seconds in the locale's decimal style, rounded half to even.
class TotalFormat {
  public:
    explicit TotalFormat(const std::string& locale)
        : formatter_(icu::number::NumberFormatter::withLocale(
                         locale.empty() ? icu::Locale::getDefault() : icu::Locale(locale.c_str()))
                         .precision(icu::number::Precision::integer())
                         .roundingMode(UNUM_ROUND_HALFEVEN)) {}

    std::string operator()(double seconds) const {
        UErrorCode status = U_ZERO_ERROR;
        icu::UnicodeString text = formatter_.formatDouble(seconds, status).toString(status);
        std::string utf8;
        if (U_SUCCESS(status)) {
            text.toUTF8String(utf8);
        }
        return utf8;
    }

  private:
    icu::number::LocalizedNumberFormatter formatter_;
};

}  // namespace

std::vector<std::string> rankRowTitles(const RankList& ranks, std::size_t rows,
                                       const std::string& locale) {
    TotalFormat formatTotal(locale);
    ShiftJisWidth widthOf;
    std::vector<std::string> titles;
    std::size_t count = std::min(rows, ranks.size());
    for (std::size_t k = 0; k < count; ++k) {
        const RankedApplication& application = ranks[k];
        std::size_t width = widthOf(application.name);
        std::string filler(width < kNameColumnWidth ? kNameColumnWidth - width : 0, ' ');
        titles.push_back(std::to_string(k + 1) + " : " + application.name + "    " + filler +
                         formatTotal(application.seconds));
    }
    return titles;
}

}  // namespace tesuko
