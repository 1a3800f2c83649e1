// SPDX-License-Identifier: GPL-3.0-or-later
// Two machines, each with its own Syncthing and tesuko home, share a folder
// over loopback in a network namespace of their own: B's report shows A's
// records, once each, also across a restart of B's Syncthing.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
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
#include "log/switch_record.h"
#include "platform/posix/posix_file_system.h"
#include "support/temp_dir.h"
#include "tests/scoped_env.h"

namespace tesuko {
namespace {

using namespace std::chrono;

// A program of the test's own, stopped by its pid at the end.
class Child {
  public:
    Child(std::vector<std::string> argv, const std::string& output) {
        pid_ = ::fork();
        if (pid_ == 0) {
            const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
            ::dup2(fd, 1);
            ::dup2(fd, 2);
            std::vector<char*> args;
            for (std::string& arg : argv) {
                args.push_back(arg.data());
            }
            args.push_back(nullptr);
            ::execvp(args[0], args.data());
            ::_exit(127);
        }
    }
    ~Child() { stop(SIGTERM); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    void stop(int signal) {
        if (pid_ > 0) {
            ::kill(pid_, signal);
            ::waitpid(pid_, nullptr, 0);
            pid_ = 0;
        }
    }
    pid_t pid() const { return pid_; }

  private:
    pid_t pid_ = 0;
};

bool have(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null").c_str()) == 0;
}

// One Syncthing's home: its key and a configuration that knows the folder and
// the peer on loopback, and nothing beyond.
struct Instance {
    std::string home;
    std::string folder;
    std::string id;
    int port = 0;
};

std::string generate(const std::string& home) {
    const std::string command =
        "STNOUPGRADE=1 syncthing generate --no-default-folder --home=" + home + " 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> out(::popen(command.c_str(), "r"), ::pclose);
    std::string text(4096, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), out.get()));
    std::smatch id;
    std::regex_search(text, id, std::regex("[A-Z0-9]{7}(-[A-Z0-9]{7}){7}"));
    return id.str();
}

void configure(const Instance& self, const Instance& peer) {
    std::smatch version;
    const std::string generated = readFile(self.home + "/config.xml");
    std::regex_search(generated, version, std::regex("<configuration version=\"[0-9]+\">"));
    std::ofstream(self.home + "/config.xml")
        << version.str() << "<folder id=\"tesuko\" path=\"" << self.folder
        << "\" type=\"sendreceive\" rescanIntervalS=\"10\" fsWatcherEnabled=\"true\" "
           "fsWatcherDelayS=\"1\"><device id=\""
        << self.id << "\"/><device id=\"" << peer.id
        << "\"/><minDiskFree unit=\"%\">1</minDiskFree></folder><device id=\"" << self.id
        << "\" name=\"self\"><address>dynamic</address></device><device id=\"" << peer.id
        << "\" name=\"peer\" compression=\"metadata\"><address>tcp://127.0.0.1:" << peer.port
        << "</address></device><gui enabled=\"false\"/><options><listenAddress>tcp://"
           "127.0.0.1:"
        << self.port
        << "</listenAddress><globalAnnounceEnabled>false</globalAnnounceEnabled>"
           "<localAnnounceEnabled>false</localAnnounceEnabled><relaysEnabled>false"
           "</relaysEnabled><natEnabled>false</natEnabled><startBrowser>false</startBrowser>"
           "<urAccepted>-1</urAccepted><autoUpgradeIntervalH>0</autoUpgradeIntervalH>"
           "<crashReportingEnabled>false</crashReportingEnabled><announceLANAddresses>false"
           "</announceLANAddresses><stunKeepaliveStartS>0</stunKeepaliveStartS>"
           "<reconnectionIntervalS>1</reconnectionIntervalS></options></configuration>\n";
}

class SyncthingShareTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* program : {"syncthing", "unshare", "nsenter", "ip"}) {
            if (!have(program)) {
                GTEST_SKIP() << program << " is not installed";
            }
        }
        if (::geteuid() != 0) {
            GTEST_SKIP() << "a network namespace of its own needs root";
        }
        // Only loopback, inside: nothing Syncthing tries leaves the machine.
        net_.emplace(std::vector<std::string>{"unshare", "--net", "sh", "-c",
                                              "ip link set lo up && exec sleep 600"},
                     dir_ / "net.log");
        for (Instance* machine : {&a_, &b_}) {
            std::filesystem::create_directories(machine->folder + "/.stfolder");
            machine->id = generate(machine->home);
        }
        configure(a_, b_);
        configure(b_, a_);
        start(a_, syncthingA_);
        start(b_, syncthingB_);
    }

    void start(const Instance& machine, std::optional<Child>& syncthing) {
        syncthing.emplace(
            std::vector<std::string>{
                "nsenter", "--net=/proc/" + std::to_string(net_->pid()) + "/ns/net", "env",
                "STNOUPGRADE=1", "STNORESTART=1", "HOME=" + machine.home,
                "XDG_CONFIG_HOME=" + machine.home, "XDG_STATE_HOME=" + machine.home, "syncthing",
                "serve", "--no-browser", "--no-restart", "--home=" + machine.home},
            machine.home + ".log");
    }

    // A's records as B's report counts them: seconds, or the error.
    std::string reportOnB(const std::string& machine) {
        FakeUserDefaults defaults;
        defaults.set("sharedFolder", b_.folder);
        FakeSystemLog systemLog;
        FakeHomeFolder home(dir_ / "home-b");
        FakeClock clock;
        clock.setWall(sys_days{2026y / 12 / 6});
        ReportServices services{files_, defaults, systemLog, home, clock, "en_US"};
        std::ostringstream out;
        std::ostringstream err;
        runReportCommand(
            {"report", "--since=2026-12-05", "--format=json-array", "--machine=" + machine},
            services, out, err);
        return out.str() + err.str();
    }

    // Appends record `i` to the machine's log, exactly as the recorder
    // writes one: a whole line in one write.
    static void append(const Instance& machine, const std::string& name, int i) {
        std::string line = "2026年12月05日 10時" + std::string(i < 10 ? "0" : "") +
                           std::to_string(i) + "分00秒,Editor,a title,1,2,";
        appendSeconds(line, 60);
        line += '\n';
        const std::string log = machine.folder + "/" + name + ".csv";
        if (!std::filesystem::exists(machine.folder + "/" + name + ".machine")) {
            std::ofstream(machine.folder + "/" + name + ".machine")
                << "name=" << name << "\nzone=UTC\n";
        }
        const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        ASSERT_EQ(::write(fd, line.data(), line.size()), ssize_t(line.size()));
        ::close(fd);
    }

    // How long until B's report shows `records` of A's, each once.
    std::optional<steady_clock::duration> untilBShows(int records) {
        const std::string expected = "\"seconds\": " + std::to_string(60 * records) + ".000000}";
        const auto start = steady_clock::now();
        while (steady_clock::now() - start < 30s) {
            if (reportOnB("desk").find(expected) != std::string::npos) {
                return steady_clock::now() - start;
            }
            std::this_thread::sleep_for(20ms);
        }
        return std::nullopt;
    }

    ScopedEnv zone_{"TZ", "UTC0"};
    TempDir dir_;
    Instance a_{dir_ / "syncthing-a", dir_ / "shared-a", {}, 22001};
    Instance b_{dir_ / "syncthing-b", dir_ / "shared-b", {}, 22002};
    std::optional<Child> net_;
    std::optional<Child> syncthingA_;
    std::optional<Child> syncthingB_;
    PosixFileSystem files_;
};

TEST_F(SyncthingShareTest, BsReportShowsAsRecordsOnceEachAcrossARestart) {
    append(b_, "laptop", 0);  // B's own log, beside A's; once at A, the two are connected
    for (const auto start = steady_clock::now();
         !std::filesystem::exists(a_.folder + "/laptop.csv"); std::this_thread::sleep_for(50ms)) {
        ASSERT_LT(steady_clock::now() - start, 60s) << "the two never connected";
    }
    std::vector<double> latencies;
    for (int i = 0; i < 10; ++i) {
        append(a_, "desk", i);
        const auto took = untilBShows(i + 1);
        ASSERT_TRUE(took) << "record " << i << ": " << reportOnB("desk");
        latencies.push_back(duration<double>(*took).count());
    }
    std::ranges::sort(latencies);
    std::printf("A's record to B's report: median %.2f s, slowest %.2f s of 10\n",
                (latencies[4] + latencies[5]) / 2, latencies.back());

    // B's Syncthing dies without a word while A goes on recording.
    for (int i = 10; i < 20; ++i) {
        if (i == 13) {
            syncthingB_->stop(SIGKILL);
        }
        if (i == 17) {
            start(b_, syncthingB_);
        }
        append(a_, "desk", i);
        std::this_thread::sleep_for(200ms);
    }
    ASSERT_TRUE(untilBShows(20)) << reportOnB("desk");
    EXPECT_EQ(readFile(b_.folder + "/desk.csv"), readFile(a_.folder + "/desk.csv"));
    const std::string all = reportOnB("laptop");
    EXPECT_NE(all.find("\"seconds\": 60.000000}"), std::string::npos) << all;
}

}  // namespace
}  // namespace tesuko
