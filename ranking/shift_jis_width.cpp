// SPDX-License-Identifier: GPL-3.0-or-later
#include "ranking/shift_jis_width.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/unistr.h>

#include <cstdint>

namespace tesuko {

void ShiftJisWidth::Close::operator()(UConverter* converter) const {
    ucnv_close(converter);
}

ShiftJisWidth::ShiftJisWidth() {
    UErrorCode status = U_ZERO_ERROR;
    converter_.reset(ucnv_open("Shift_JIS", &status));
    if (U_FAILURE(status)) {
        converter_.reset();
        return;
    }
    // The default callback writes a substitute byte, which would give a
    // character without a Shift-JIS form a width; stop instead.
    ucnv_setFromUCallBack(converter_.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
    if (U_FAILURE(status)) {
        converter_.reset();
    }
}

std::size_t ShiftJisWidth::operator()(std::string_view utf8Name) const {
    if (!converter_) {
        return 0;
    }
    icu::UnicodeString name = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8Name.data(), std::int32_t(utf8Name.size())));
    ucnv_resetFromUnicode(converter_.get());
    UErrorCode status = U_ZERO_ERROR;
    // Measuring only: a zero-sized target gives the length with an overflow error.
    std::int32_t length =
        ucnv_fromUChars(converter_.get(), nullptr, 0, name.getBuffer(), name.length(), &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) {
        return 0;
    }
    return std::size_t(length);
}

}  // namespace tesuko
