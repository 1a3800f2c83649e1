#include <gtest/gtest.h>

#include "platform/posix/numeric_locale.h"
#include "tests/integration/xdg_scoped_env.h"

namespace tesuko {
namespace {

TEST(NumericLocaleTest, ComesFromTheCLibraryVariablesWithoutCodesetOrModifier) {
    const struct {
        const char* lcAll;
        const char* lcNumeric;
        const char* lang;
        const char* locale;
    } cases[] = {
        {"de_DE.UTF-8", "en_US.UTF-8", "fr_FR.UTF-8", "de_DE"},
        {"", "en_IN.UTF-8", "fr_FR.UTF-8", "en_IN"},
        {"", "", "ja_JP.UTF-8", "ja_JP"},
        {"", "", "sr_RS@latin", "sr_RS"},
        {"C", "de_DE.UTF-8", "", ""},
        {"", "", "POSIX", ""},
        {"", "", "", ""},
    };
    ScopedEnv env;
    for (const auto& c : cases) {
        env.set("LC_ALL", c.lcAll);
        env.set("LC_NUMERIC", c.lcNumeric);
        env.set("LANG", c.lang);
        EXPECT_EQ(userNumericLocale(), c.locale) << c.lcAll << " " << c.lcNumeric << " " << c.lang;
    }
}

}  // namespace
}  // namespace tesuko
