#include <functional>
#include <memory>

#include "ranking/totals_cache.h"
#include "tests/unit/ranking_fixture.h"

namespace tesuko {
namespace {

ScanState sampleState() {
    ScanState state;
    FileIdentity file{3, 77, 500, -1, 1'780'000'000'123'456'789};
    state.position = {"/a/log,1.csv", file, 400, 9, std::string(64, ':')};
    state.totals.add("Editor", 0.1);
    state.totals.add("日本", 1e300);
    state.totals.add("Editor", 0.2);  // 0.30000000000000004: kept to the last bit
    return state;
}

TEST(TotalsCacheCodec, KeepsEveryBitAndRejectsDamagedOrForeignBytes) {
    ScanState state = sampleState();
    std::string bytes = encodeScanState(state);
    auto decoded = decodeScanState(bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->position, state.position);
    EXPECT_EQ(decoded->totals.applications(), state.totals.applications());

    for (std::size_t i = 0; i < bytes.size(); i += 7) {
        std::string damaged = bytes;
        damaged[i] ^= 0x20;
        EXPECT_FALSE(decodeScanState(damaged)) << "a byte changed at " << i;
    }
    EXPECT_FALSE(decodeScanState(bytes.substr(0, bytes.size() / 2)));
    EXPECT_FALSE(decodeScanState(""));
    EXPECT_FALSE(decodeScanState("not a cache at all, just some text of a length"));

    ScanState repeated = state;
    repeated.totals = ApplicationTotals{};
    repeated.position.lastBytes = "short";  // not the bytes before offset 400
    EXPECT_FALSE(decodeScanState(encodeScanState(repeated))) << "consistent, or not trusted";
}

// Runs of the program, one after another, over the same files.
class CachedRankingTest : public RankingTest {
  protected:
    std::unique_ptr<Log> launch(const std::string& cache) {
        auto next = std::make_unique<Log>(files, defaults, systemLog, home);
        next->setTotalsCache(std::make_unique<FileTotalsCache>(files, systemLog, cache));
        return next;
    }
    std::unique_ptr<Log> launch() { return launch(cachePath); }

    const std::string cachePath = totalsCachePath(home.cacheFolder());
};

TEST_F(CachedRankingTest, ANewRunTrustsTheCacheWhileTheLogIsUntouched) {
    files.addFile(kHomeLog, record("A", "1") + record("B", "2", std::string(100, 't')));
    launch()->scanLog();
    ASSERT_TRUE(files.exists(cachePath));

    files.bytesRead = 0;
    auto relaunched = launch();
    relaunched->scanLog();
    EXPECT_EQ(relaunched->getRankLog(), (RankList{{"B", 2}, {"A", 1}}));
    EXPECT_EQ(files.bytesRead, ReadPosition::kCheckedBytes) << "only the bytes checked";
    EXPECT_TRUE(systemLog.lines.empty());
}

TEST_F(CachedRankingTest, AStaleOrForeignCacheIsRebuiltNotTrusted) {
    const std::string twoRecords = record("A", "1") + record("B", "2");

    struct Case {
        const char* what;
        std::function<void()> change;
        RankList ranks;
    };
    const Case cases[] = {
        {"the log was replaced",
         [&] { files.addFile(kHomeLog, twoRecords + record("C", "4")); },
         {{"C", 4}, {"B", 2}, {"A", 1}}},
        {"the log changed in place",
         [&] { files.rewrite(kHomeLog, record("A", "1") + record("B", "3") + record("C", "4")); },
         {{"C", 4}, {"B", 3}, {"A", 1}}},
        // Out of reach of the check of the bytes before the position.
        {"the log was edited far from its end, at the same size",
         [&] { files.rewrite(kHomeLog, record("Z", "1") + record("B", "2")); },
         {{"B", 2}, {"Z", 1}}},
        {"the log was edited far from its end and appended to",
         [&] { files.rewrite(kHomeLog, record("Z", "1") + record("B", "2") + record("A", "5")); },
         {{"A", 5}, {"B", 2}, {"Z", 1}}},
        {"the cache is of another log",
         [&] {
             files.addFile("/other/log.csv", twoRecords + record("C", "4"));
             storeLocation("file:///other/log.csv");
         },
         {{"C", 4}, {"B", 2}, {"A", 1}}},
    };
    for (const Case& c : cases) {
        defaults.values.clear();
        files.addFile(kHomeLog, twoRecords);
        launch()->scanLog();
        c.change();
        auto relaunched = launch();
        relaunched->scanLog();
        EXPECT_EQ(relaunched->getRankLog(), c.ranks) << c.what;

        const std::string fresh = "/fresh/totals.cache";
        files.removeFile(fresh);
        launch(fresh)->scanLog();
        EXPECT_EQ(files.content(cachePath), files.content(fresh))
            << c.what << ": the cache is rebuilt from the log";
    }
    EXPECT_TRUE(systemLog.lines.empty()) << "a stale cache is no fault";
}

// Whatever is at the cache path, the menu gets the totals of a full scan and
// the system log one line at most, however often the menu opens.
TEST(TotalsCacheFaults, MeanAFullScanAndOneWarning) {
    using Files = FakeFileSystem;
    struct Case {
        const char* what;
        std::function<void(Files&, const std::string& cache)> spoil;
        const char* says;  // what the warning names; none when null
    };
    auto spoilByte = [](std::size_t fromEnd) {
        return [fromEnd](Files& f, const std::string& cache) {
            std::string bytes = f.content(cache);
            bytes[bytes.size() - fromEnd] ^= 1;
            f.rewrite(cache, bytes);
        };
    };
    const Case cases[] = {
        {"none yet", [](Files& f, const std::string& cache) { f.removeFile(cache); }, nullptr},
        {"a folder",
         [](Files& f, const std::string& cache) {
             f.removeFile(cache);
             f.createDirectories(cache);
         },
         "Is a directory"},
        {"a FIFO",
         [](Files& f, const std::string& cache) {
             f.removeFile(cache);
             f.addSpecialFile(cache);
         },
         "not a regular file"},
        {"larger than any cache",
         [](Files& f, const std::string& cache) {
             f.rewrite(cache, std::string(FileTotalsCache::kLargest + 1, '1'));
         },
         "larger than"},
        {"cut short",
         [](Files& f, const std::string& cache) {
             f.rewrite(cache, f.content(cache).substr(0, f.content(cache).size() / 2));
         },
         "damaged"},
        {"a checksum digit changed", spoilByte(1), "damaged"},
        {"a total changed", spoilByte(20), "damaged"},
        {"written by another version",
         [](Files& f, const std::string& cache) {
             std::string bytes = f.content(cache);
             bytes[bytes.find("tesuko-totals-") + 14] = '0';
             f.rewrite(cache, bytes);
         },
         nullptr},
        {"in a folder that cannot be written",
         [](Files& f, const std::string& cache) {
             f.makeReadOnly(cache.substr(0, cache.rfind('/')));
         },
         "Permission denied"},
    };
    for (const Case& c : cases) {
        FakeFileSystem files;
        FakeUserDefaults defaults;
        FakeSystemLog systemLog;
        FakeHomeFolder home{"/home/user"};
        const std::string cache = totalsCachePath(home.cacheFolder());
        auto launch = [&] {
            auto log = std::make_unique<Log>(files, defaults, systemLog, home);
            log->setTotalsCache(std::make_unique<FileTotalsCache>(files, systemLog, cache));
            return log;
        };
        files.addFile(kHomeLog, record("A", "1") + record("B", "2"));
        launch()->scanLog();
        c.spoil(files, cache);

        auto log = launch();
        log->scanLog();
        EXPECT_EQ(log->getRankLog(), (RankList{{"B", 2}, {"A", 1}})) << c.what;
        for (const char* seconds : {"4", "8"}) {  // each time a save
            files.rewrite(kHomeLog, files.content(kHomeLog) + record("C", seconds));
            log->scanLog();
        }
        EXPECT_EQ(log->getRankLog(), (RankList{{"C", 12}, {"B", 2}, {"A", 1}})) << c.what;

        EXPECT_EQ(systemLog.lines.size(), c.says ? 1u : 0u) << c.what;
        if (c.says && !systemLog.lines.empty()) {
            EXPECT_EQ(systemLog.priorities[0], SystemLog::Priority::warning) << c.what;
            EXPECT_NE(systemLog.lines[0].find(cache + ": "), std::string::npos) << c.what;
            EXPECT_NE(systemLog.lines[0].find(c.says), std::string::npos) << systemLog.lines[0];
        }
    }
}

}  // namespace
}  // namespace tesuko
