#include <functional>
#include <memory>

#include "ranking/totals_cache.h"
#include "tests/unit/ranking_fixture.h"

namespace tesuko {
namespace {

class MemoryCache : public TotalsCache {
  public:
    explicit MemoryCache(std::optional<std::string>& bytes) : bytes_(bytes) {}

    std::optional<std::string> load() override { return bytes_; }
    void save(std::string_view bytes) override { bytes_ = std::string(bytes); }

  private:
    std::optional<std::string>& bytes_;
};

ScanState sampleState() {
    ScanState state;
    state.position = {"/a/log,1.csv", FileIdentity{3, 77, 500}, 400, 9, std::string(64, ':')};
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

class CachedRankingTest : public RankingTest {
  protected:
    std::unique_ptr<Log> launch() {
        auto next = std::make_unique<Log>(files, defaults, systemLog, home);
        next->setTotalsCache(std::make_unique<MemoryCache>(cached));
        return next;
    }

    std::optional<std::string> cached;
};

TEST_F(CachedRankingTest, ANewRunResumesFromTheCacheAndCountsOnlyWhatWasAppended) {
    std::string longTitle(100, 't');
    files.addFile(kHomeLog, record("A", "1") + record("B", "2", longTitle));
    launch()->scanLog();
    ASSERT_TRUE(cached);

    // A change far before the end is invisible to the check, so the totals
    // show whether the first record was read again.
    files.rewrite(kHomeLog, record("A", "9") + record("B", "2", longTitle) + record("A", "5"));
    auto relaunched = launch();
    relaunched->scanLog();
    EXPECT_EQ(relaunched->getRankLog(), (RankList{{"A", 6}, {"B", 2}}));
}

TEST_F(CachedRankingTest, AStaleForeignOrDamagedCacheIsRebuiltNotTrusted) {
    files.addFile(kHomeLog, record("A", "1") + record("B", "2"));
    launch()->scanLog();
    const std::string good = *cached;

    struct Case {
        const char* what;
        std::function<void()> spoil;
        RankList ranks;
    };
    const Case cases[] = {
        {"the log was replaced",
         [&] { files.addFile(kHomeLog, record("A", "1") + record("B", "2") + record("C", "4")); },
         {{"C", 4}, {"B", 2}, {"A", 1}}},
        {"the log changed in place",
         [&] { files.rewrite(kHomeLog, record("A", "1") + record("B", "3") + record("C", "4")); },
         {{"C", 4}, {"B", 3}, {"A", 1}}},
        {"the cache is of another log",
         [&] {
             files.addFile("/other/log.csv",
                           record("A", "1") + record("B", "2") + record("C", "4"));
             storeLocation("file:///other/log.csv");
         },
         {{"C", 4}, {"B", 2}, {"A", 1}}},
        {"the cache is damaged",
         [&] { (*cached)[cached->size() - 20] ^= 1; },
         {{"B", 2}, {"A", 1}}},
        {"the cache is cut short",
         [&] { cached->resize(cached->size() / 2); },
         {{"B", 2}, {"A", 1}}},
    };
    for (const Case& c : cases) {
        defaults.values.clear();
        files.addFile(kHomeLog, record("A", "1") + record("B", "2"));
        cached = good;
        c.spoil();
        auto relaunched = launch();
        relaunched->scanLog();
        EXPECT_EQ(relaunched->getRankLog(), c.ranks) << c.what;

        std::optional<std::string> fresh;
        Log uncached(files, defaults, systemLog, home);
        uncached.setTotalsCache(std::make_unique<MemoryCache>(fresh));
        uncached.scanLog();
        EXPECT_EQ(cached, fresh) << c.what << ": the cache is rebuilt from the log";
    }
}

}  // namespace
}  // namespace tesuko
