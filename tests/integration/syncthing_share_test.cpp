// SPDX-License-Identifier: GPL-3.0-or-later
// Two machines, each a Syncthing and a folder, share their logs over
// loopback in a network namespace of their own: B's report shows A's
// records, once each, also across a kill and restart of B's Syncthing.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "app/report_command.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_home_folder.h"
#include "fakes/fake_system_log.h"
#include "fakes/fake_user_defaults.h"
#include "platform/posix/posix_file_system.h"
#include "support/temp_dir.h"
#include "tests/scoped_env.h"

namespace tesuko {
namespace {

using namespace std::chrono;

struct Machine {
    std::string home, folder, port, id{};
    pid_t syncthing = 0;
};

class SyncthingShareTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const bool programs =
            std::system(
                "for p in syncthing unshare nsenter ip; do command -v $p || exit 1; done "
                ">/dev/null") == 0;
        if (!programs || ::geteuid() != 0 || !std::filesystem::exists("/etc/machine-id")) {
            GTEST_SKIP() << "needs syncthing, unshare, nsenter, ip, root and /etc/machine-id";
        }
        // Only loopback in there: nothing Syncthing tries leaves the machine.
        net_ = spawn("unshare --net sh -c 'ip link set lo up && exec sleep 900'");
        for (Machine* m : {&a_, &b_}) {
            std::filesystem::create_directories(m->folder + "/.stfolder");
            const std::string generate =
                "syncthing generate --no-default-folder --home=" + m->home + " >" + m->home +
                ".id 2>&1";
            ASSERT_EQ(std::system(generate.c_str()), 0) << readFile(m->home + ".id");
            const std::string out = readFile(m->home + ".id");
            std::regex_search(out, match_, std::regex("[A-Z0-9]{7}(-[A-Z0-9]{7}){7}"));
            m->id = match_.str();
        }
        configure(a_, b_);
        configure(b_, a_);
        start(a_);
        start(b_);
    }
    void TearDown() override {
        for (pid_t pid : {a_.syncthing, b_.syncthing, net_}) {
            stop(pid, SIGTERM);
        }
    }

    // A program of the test's own, by its pid (exec keeps the shell's).
    pid_t spawn(const std::string& command) {
        const std::string line = "exec " + command + " >>" + dir_ / "out.log" + " 2>&1";
        const char* argv[] = {"sh", "-c", line.c_str(), nullptr};
        pid_t pid = 0;
        EXPECT_EQ(::posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char**>(argv), environ),
                  0);
        return pid;
    }
    static void stop(pid_t& pid, int signal) {
        if (pid > 0 && ::kill(pid, signal) == 0) {
            ::waitpid(pid, nullptr, 0);
        }
        pid = 0;
    }

    // The folder and the peer on loopback, and every way out off.
    void configure(const Machine& self, const Machine& peer) {
        const std::string generated = readFile(self.home + "/config.xml");
        std::regex_search(generated, match_, std::regex("<configuration version=\"[0-9]+\">"));
        std::ofstream(self.home + "/config.xml")
            << match_.str() << "<folder id=\"tesuko\" path=\"" << self.folder
            << "\" fsWatcherEnabled=\"true\" fsWatcherDelayS=\"1\"><device id=\"" << self.id
            << "\"/><device id=\"" << peer.id << "\"/><minDiskFree unit=\"%\">1</minDiskFree>"
            << "</folder><device id=\"" << peer.id << "\"><address>tcp://127.0.0.1:" << peer.port
            << "</address></device><gui enabled=\"false\"/><options><listenAddress>tcp://"
            << "127.0.0.1:" << self.port << "</listenAddress><globalAnnounceEnabled>false"
            << "</globalAnnounceEnabled><localAnnounceEnabled>false</localAnnounceEnabled>"
            << "<relaysEnabled>false</relaysEnabled><natEnabled>false</natEnabled><urAccepted>"
            << "-1</urAccepted><crashReportingEnabled>false</crashReportingEnabled>"
            << "<reconnectionIntervalS>1</reconnectionIntervalS></options></configuration>\n";
    }
    // STMONITORED: Syncthing alone, without the monitor process that would
    // otherwise start it and outlive a kill of its pid.
    void start(Machine& m) {
        m.syncthing = spawn("nsenter --net=/proc/" + std::to_string(net_) +
                            "/ns/net env STNOUPGRADE=1 STMONITORED=yes HOME=" + m.home +
                            " syncthing serve --no-browser --no-restart --home=" + m.home);
    }

    // B's report of a machine's records: A's are a minute each.
    std::string reportOnB(const std::string& machine) {
        FakeUserDefaults defaults;
        defaults.set("sharedFolder", b_.folder);
        FakeSystemLog systemLog;
        FakeHomeFolder home(dir_ / "home-b");
        FakeClock clock;
        clock.setWall(sys_days{2026y / 12 / 6});
        std::ostringstream out;
        runReportCommand(
            {"report", "--since=2026-12-05", "--format=json-array", "--machine=" + machine},
            {files_, defaults, systemLog, home, clock, "en_US"}, out, out);
        return out.str();
    }
    // A record as the recorder writes it: a whole line in one write.
    static void append(const Machine& m, const std::string& name, int minute) {
        std::ofstream(m.folder + "/" + name + ".machine") << "name=" << name << "\nzone=UTC\n";
        std::ofstream(m.folder + "/" + name + ".csv", std::ios::app)
            << "2026年12月05日 10時" << minute / 10 << minute % 10
            << "分00秒,Editor,t,1,2,60.000000\n";
    }
    std::optional<duration<double>> untilBShows(int records) {
        const std::string seconds = "\"seconds\": " + std::to_string(60 * records) + ".000000}";
        for (const auto start = steady_clock::now(); steady_clock::now() - start < 30s;) {
            if (reportOnB("desk").find(seconds) != std::string::npos) {
                return steady_clock::now() - start;
            }
            std::this_thread::sleep_for(20ms);
        }
        return std::nullopt;
    }

    ScopedEnv zone_{"TZ", "UTC0"};
    TempDir dir_;
    Machine a_{dir_ / "syncthing-a", dir_ / "shared-a", "22001"};
    Machine b_{dir_ / "syncthing-b", dir_ / "shared-b", "22002"};
    pid_t net_ = 0;
    std::smatch match_;
    PosixFileSystem files_;
};

TEST_F(SyncthingShareTest, BsReportShowsAsRecordsOnceEachAcrossARestart) {
    append(b_, "laptop", 0);  // B's own log; once it is at A, the two are connected
    for (const auto start = steady_clock::now();
         !std::filesystem::exists(a_.folder + "/laptop.csv"); std::this_thread::sleep_for(50ms)) {
        ASSERT_LT(steady_clock::now() - start, 60s) << "the two never connected";
    }
    std::vector<double> latencies;
    for (int i = 0; i < 10; ++i) {
        append(a_, "desk", i);
        const auto took = untilBShows(i + 1);
        ASSERT_TRUE(took) << "record " << i << ": " << reportOnB("desk");
        latencies.push_back(took->count());
    }
    std::ranges::sort(latencies);
    std::printf("A's record to B's report: median %.2f s, slowest %.2f s of 10\n",
                (latencies[4] + latencies[5]) / 2, latencies.back());

    for (int i = 10; i < 20; ++i) {  // B's Syncthing killed while A records
        if (i == 13 || i == 17) {
            i == 13 ? stop(b_.syncthing, SIGKILL) : start(b_);
        }
        append(a_, "desk", i);
        std::this_thread::sleep_for(200ms);
    }
    ASSERT_TRUE(untilBShows(20)) << reportOnB("desk");
    EXPECT_EQ(readFile(b_.folder + "/desk.csv"), readFile(a_.folder + "/desk.csv"));
    EXPECT_NE(reportOnB("laptop").find("\"seconds\": 60.000000}"), std::string::npos);
}

}  // namespace
}  // namespace tesuko
