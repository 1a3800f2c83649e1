#include "platform/xdg/desktop_entry.h"

#include <gtest/gtest.h>

namespace tesuko {
namespace {

using Args = std::vector<std::string>;

TEST(DesktopEntry, ReadsWhatDecidesAboutStartingAtLogin) {
    struct Case {
        const char* text;
        bool starts;
        const char* exec;
    };
    const Case cases[] = {
        {"[Desktop Entry]\nType=Application\nExec=/bin/true\n", true, "/bin/true"},
        {"# comment\n\n[Desktop Entry]\r\nType = Application\r\nExec = a b \r\n", true, "a b"},
        {"[Desktop Entry]\nType=Application\nExec=x\nHidden=true\n", false, "x"},
        {"[Desktop Entry]\nType=Application\nExec=x\nHidden=false\n", true, "x"},
        {"[Desktop Entry]\nType=Application\nExec=x\nX-GNOME-Autostart-enabled=false\n", false,
         "x"},
        {"[Desktop Entry]\nType=Link\nExec=x\n", false, "x"},
        {"[Desktop Entry]\nExec=x\n", false, "x"},
        {"[Desktop Entry]\nType=Application\nExec=first\nExec=second\n", true, "first"},
        {"[Desktop Entry]\nType=Application\nExec=a\\sb\\\\c\\$d\n", true, "a b\\c\\$d"},
        {"[Desktop Entry]\nType=Application\nExec=x\n[Desktop Action new]\nExec=y\nHidden=true\n",
         true, "x"},
    };
    for (const Case& c : cases) {
        std::optional<DesktopEntry> entry = parseDesktopEntry(c.text);
        ASSERT_TRUE(entry) << c.text;
        EXPECT_EQ(entry->startsAtLogin(), c.starts) << c.text;
        EXPECT_EQ(entry->exec, c.exec) << c.text;
    }
}

TEST(DesktopEntry, TextThatIsNotAnEntryIsRejected) {
    const char* const texts[] = {
        "",
        "Type=Application\n[Desktop Entry]\nExec=x\n",
        "[Desktop Entry]\nType=Application\njust words\n",
        "[Desktop Entry\nType=Application\n",
        "[Other]\nType=Application\nExec=x\n",
        "[Desktop Entry]\n=no key\n",
        "\x7f"
        "ELF\x02\x01\x01\0\0\0",
    };
    for (const char* text : texts) {
        EXPECT_EQ(parseDesktopEntry(text), std::nullopt) << text;
    }
}

TEST(SplitExec, UndoesQuotingAndFieldCodes) {
    struct Case {
        const char* exec;
        Args args;
    };
    const Case cases[] = {
        {"/usr/bin/app", {"/usr/bin/app"}},
        {"  app  --flag\tvalue ", {"app", "--flag", "value"}},
        {"\"/opt/my app/bin/app\" -x", {"/opt/my app/bin/app", "-x"}},
        {R"("a \"quoted\" \`cmd\` \$HOME \\ back")", {"a \"quoted\" `cmd` $HOME \\ back"}},
        {R"("keeps \n unknown escapes")", {"keeps \\n unknown escapes"}},
        {"'single quoted $HOME'", {"single quoted $HOME"}},
        {"with\\ space", {"with space"}},
        {"app %u", {"app"}},
        {"app %F --done", {"app", "--done"}},
        {"app --file=%f", {"app", "--file="}},
        {"app 100%%", {"app", "100%"}},
        {"\"50%% off\"", {"50% off"}},
        {"app \"\"", {"app", ""}},
        {"app %i %c %k", {"app"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(splitExec(c.exec), c.args) << c.exec;
    }
}

TEST(SplitExec, RejectsCommandLinesThatCannotBeRun) {
    const char* const execs[] = {"",       "   ",     "%u", "\"never closed", "'never closed",
                                 "app %z", "app 100%"};
    for (const char* exec : execs) {
        EXPECT_EQ(splitExec(exec), std::nullopt) << exec;
    }
}

TEST(ExecValue, AnyProgramPathSurvivesTheWayBack) {
    const char* const paths[] = {
        "/usr/bin/tesuko",
        "/opt/My Apps/tesuko",
        "/home/u/\"quoted\" 'single'/tesuko",
        "/home/u/back\\slash/tesuko",
        "/home/u/$HOME `date`/tesuko",
        "/home/u/100% %u %%/tesuko",
        "/home/u/tab\there/new\nline/tesuko",
        "/home/u/\\s\\n/tesuko",
        "/home/u/日本語\u3000フォルダ/tesuko",
        "/home/u/#;=&|<>*?(){}~/tesuko",
    };
    for (const char* path : paths) {
        std::optional<DesktopEntry> entry = parseDesktopEntry(desktopEntryFor(path));
        ASSERT_TRUE(entry) << path;
        EXPECT_TRUE(entry->startsAtLogin());
        ASSERT_TRUE(entry->exec) << path;
        EXPECT_EQ(splitExec(*entry->exec), Args{path}) << path;
    }
}

TEST(ExecValue, QuotesAsDesktopEntriesRequire) {
    EXPECT_EQ(execValueFor("/opt/a b/t"), "\"/opt/a b/t\"");
    // A literal backslash takes four, a dollar sign two; per cent signs are doubled.
    EXPECT_EQ(execValueFor("/a\\b$c%d"), "\"/a\\\\\\\\b\\\\$c%%d\"");
}

}  // namespace
}  // namespace tesuko
