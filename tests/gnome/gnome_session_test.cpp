// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>

#include <filesystem>
#include <iostream>
#include <regex>
#include <thread>

#include "platform/gnome/gnome_shell.h"
#include "tests/gnome/headless_gnome_shell.h"

namespace tesuko {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using Clock = std::chrono::steady_clock;

const std::string kTesuko = TESUKO_BINARY_DIR "/app/tesuko";
const std::string kNewLogin = "Log out and back in once";

// tesuko as the user's login item in a headless GNOME Shell, on the Shell's
// display and session bus; the test plays the user.
class GnomeSessionTest : public ::testing::Test {
  protected:
    // tesuko records from the start when it is the login item.
    void logIn(bool withTesukoExtension, const std::string& program = kTesuko) {
        shell.emplace(withTesukoExtension);
        addLoginItem(shell->home() + "/.config", program);
        shell->logIn();
    }
    // Returns once tesuko records, when it has dealt with its extension.
    void startTesuko(QProcess& tesuko, const std::string& output,
                     const std::string& program = kTesuko) {
        EnvChanges env = shell->env();
        env.merge(EnvChanges{{"TESUKO_BACKEND", "gnome"}, {"LC_ALL", "en_US.UTF-8"}});
        start(tesuko, {program}, env, shell->work(output));
        ASSERT_TRUE(waitUntil([&] { return countOf(said(output), "No system tray") == 1; }));
    }
    // A clean exit on SIGTERM; what it said.
    std::string stopTesuko(QProcess& tesuko, const std::string& output) {
        tesuko.terminate();
        EXPECT_EQ(exitStatus(tesuko), 0) << said(output);
        return said(output);
    }
    std::string said(const std::string& output) const { return readFile(shell->work(output)); }
    std::string log() const { return readFile(shell->home() + "/Desktop/TESUKO/log.csv"); }
    // Just before the Shell switched, on the test's clock. Shell 48 may
    // move the focus a moment after the activation returns.
    Clock::time_point activate(const std::string& appId) {
        const Clock::time_point before = Clock::now();
        EXPECT_TRUE(shell->test("Activate", {QString::fromStdString(appId)}).value(0).toBool());
        EXPECT_TRUE(waitUntil([&] {
            return shell->test("Focused").value(0).toString().toStdString() == appId;
        })) << appId;
        return before;
    }
    // The seconds of the n-th record with these fields, once it is written.
    double awaitRecord(const std::string& fields, std::size_t nth = 1) {
        for (const auto deadline = Clock::now() + 10s; Clock::now() < deadline;) {
            if (const std::string text = log(); countOf(text, fields) >= nth) {
                std::size_t at = text.find(fields);
                for (std::size_t k = 1; k < nth; ++k) {
                    at = text.find(fields, at + 1);
                }
                // The last field, which ends at the line feed.
                return std::atof(text.c_str() + text.rfind(',', text.find('\n', at)) + 1);
            }
            std::this_thread::sleep_for(1ms);
        }
        ADD_FAILURE() << "no record " << fields << " in\n" << log();
        return -1;
    }

    std::optional<HeadlessGnomeShell> shell;
};

TEST_F(GnomeSessionTest, RecordsFocusSwitchesNotTitleChangesAndTheIntervalInProgressAtTheEnd) {
    logIn(true);
    shell->openWindow("test.Alpha", "alpha one");
    QProcess& beta = shell->openWindow("test.Beta", "beta one");
    QProcess tesuko;
    startTesuko(tesuko, "tesuko.out");
    // The records of the time before the test knew which window was in front.
    activate("test.Alpha");
    const Clock::time_point betaFront = activate("test.Beta");
    awaitRecord(",test.Alpha,alpha one,");
    const std::size_t before = linesOf(log()).size();

    // A new title within the application in front writes nothing; the
    // interval goes by the title it had at the end.
    beta.write("beta two\n");
    beta.waitForBytesWritten();
    ASSERT_TRUE(waitUntil([&] { return shell->test("Focused").value(1) == "beta two"; }));
    std::this_thread::sleep_for(300ms);
    const Clock::time_point alphaFront = activate("test.Alpha");
    // Wayland shows no one else's input: no counts, rather than zero.
    EXPECT_NEAR(awaitRecord(",test.Beta,beta two,,,"), seconds(alphaFront - betaFront), 0.2);
    const double betaLatency = seconds(Clock::now() - alphaFront);
    std::this_thread::sleep_for(300ms);
    const Clock::time_point betaAgain = activate("test.Beta");
    EXPECT_NEAR(awaitRecord(",test.Alpha,alpha one,,,", 2), seconds(betaAgain - alphaFront), 0.2);
    std::cout << "switch to record: " << betaLatency << " s, " << seconds(Clock::now() - betaAgain)
              << " s\n";
    EXPECT_EQ(linesOf(log()).size(), before + 2);

    const Clock::time_point end = Clock::now();
    shell->stop();
    EXPECT_EQ(exitStatus(tesuko), 0) << said("tesuko.out");
    ASSERT_EQ(linesOf(log()).size(), before + 3) << said("tesuko.out");
    EXPECT_GE(awaitRecord(",test.Beta,beta two,,,", 2), seconds(end - betaAgain) - 0.2);
}

// The Shell loads extensions at login only. tesuko installs the form for the
// running Shell, enabled, and says once that a new login is needed; from then
// on it records. An extension the user disabled reports to tesuko alone: it
// is enabled at once. Extensions turned off as a whole stay off.
TEST_F(GnomeSessionTest, InstallsOrEnablesItsExtensionAndSaysOnceWhatTheUserMustDo) {
    logIn(false);
    QProcess first;
    startTesuko(first, "first.out");
    EXPECT_EQ(countOf(stopTesuko(first, "first.out"), kNewLogin), 1u);
    EXPECT_EQ(readFile(shell->home() + "/.local/share/gnome-shell/extensions/" +
                       kExtensionUuid.toStdString() + "/extension.js"),
              readFile(TESUKO_BINARY_DIR "/share/tesuko/gnome-shell-extension/" +
                       HeadlessGnomeShell::extensionForm() + "/extension.js"));

    shell->stop();
    shell->logIn();
    shell->openWindow("test.Alpha", "alpha one");
    shell->openWindow("test.Beta", "beta one");
    run({"gnome-extensions", "disable", kExtensionUuid.toStdString()}, shell->env());
    ASSERT_TRUE(waitUntil([&] {
        return GnomeShell(shell->bus()).extensionInfo(kExtensionUuid)->state ==
               ExtensionState::disabled;
    }));
    QProcess second;
    startTesuko(second, "second.out");
    activate("test.Alpha");
    activate("test.Beta");
    awaitRecord(",test.Alpha,alpha one,");
    const std::string secondSaid = stopTesuko(second, "second.out");
    EXPECT_EQ(countOf(secondSaid, "Enabled tesuko's GNOME Shell extension"), 1u);
    EXPECT_THAT(secondSaid, Not(HasSubstr(kNewLogin)));

    run({"gsettings", "set", "org.gnome.shell", "disable-user-extensions", "true"}, shell->env());
    ASSERT_TRUE(waitUntil([&] { return shell->test("Focused").isEmpty(); }));
    QProcess third;
    startTesuko(third, "third.out");
    EXPECT_EQ(countOf(stopTesuko(third, "third.out"), "extensions are turned off"), 1u);
}

// A Shell newer than any the extension lists refuses it. tesuko says so, with
// the setting that lets the user try it anyway; with that set, it records.
TEST_F(GnomeSessionTest, SaysWhenTheShellIsNewerThanItsExtensionListsAndHowToTryAnyway) {
    namespace fs = std::filesystem;
    // tesuko installed as it is, but with an extension that lists only older Shells.
    const TempDir temp;
    const fs::path installed = temp.path();
    const std::string form = HeadlessGnomeShell::extensionForm();
    const int running = HeadlessGnomeShell::majorVersion();
    const fs::path extension = installed / "share/tesuko/gnome-shell-extension" / form;
    fs::create_directories(extension);
    fs::copy(TESUKO_BINARY_DIR "/share/tesuko/gnome-shell-extension/" + form, extension);
    writeFile(extension / "metadata.json",
              std::regex_replace(readFile(extension / "metadata.json"),
                                 std::regex(R"("shell-version": \[[^\]]*\])"),
                                 "\"shell-version\": [\"" + std::to_string(running - 1) + "\"]"));
    const std::string program = installed / "bin/tesuko";
    fs::create_directories(installed / "bin");
    fs::copy_file(kTesuko, program);
    fs::create_directories(installed / "libexec/tesuko");
    fs::copy_file(fs::path(kTesuko).parent_path() / "tesuko-tray",
                  installed / "libexec/tesuko/tesuko-tray");

    logIn(false, program);
    QProcess first;
    startTesuko(first, "first.out", program);
    const std::string told = stopTesuko(first, "first.out");
    EXPECT_EQ(countOf(told, "tested with GNOME Shell up to " + std::to_string(running - 1) +
                                ", not yet " + std::to_string(running)),
              1u)
        << told;
    EXPECT_EQ(countOf(told,
                      "gsettings set org.gnome.shell disable-extension-version-validation "
                      "true, then log out and back in"),
              1u);

    run({"gsettings", "set", "org.gnome.shell", "disable-extension-version-validation", "true"},
        shell->env());
    shell->stop();
    shell->logIn();
    shell->openWindow("test.Alpha", "alpha one");
    shell->openWindow("test.Beta", "beta one");
    QProcess second;
    startTesuko(second, "second.out", program);
    activate("test.Alpha");
    activate("test.Beta");
    awaitRecord(",test.Alpha,alpha one,");
    EXPECT_THAT(stopTesuko(second, "second.out"), Not(HasSubstr("not yet")));
}

// GNOME 49 and later have no X11 session: asked to watch X11 there, tesuko
// says why it cannot, and ends.
TEST_F(GnomeSessionTest, TheX11BackendSaysThereIsNoX11Session) {
    logIn(false);
    EnvChanges env = shell->env();
    env["TESUKO_BACKEND"] = "x11";
    QProcess tesuko;
    start(tesuko, {kTesuko}, env, shell->work("x11.out"));
    EXPECT_EQ(exitStatus(tesuko), 2);
    EXPECT_THAT(said("x11.out"), HasSubstr("without X11 access: DISPLAY is not set"));
}

}  // namespace
}  // namespace tesuko
