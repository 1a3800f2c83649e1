// SPDX-License-Identifier: GPL-3.0-or-later
// A folder several machines share through a synchroniser: whose logs are
// there, and what of the synchroniser's own files a reader must leave alone.

#include <gtest/gtest.h>

#include "fakes/fake_file_system.h"
#include "machines/machine_card.h"
#include "machines/machine_folder.h"
#include "machines/machine_id.h"

namespace tesuko {
namespace {

TEST(MachineFolderTest, ReadsEachMachinesLogWithItsCardAndNoSynchroniserFile) {
    const struct {
        std::vector<std::pair<const char*, const char*>> files;
        std::vector<const char*> logs;      // "id name zone"
        std::vector<const char*> problems;  // a word of each
    } cases[] = {
        {{{"a.csv", ""}, {"a.machine", "name=desk\nzone=Asia/Tokyo\n"}}, {"a desk Asia/Tokyo"}, {}},
        // Only a card's name when it has no zone, its id when it has no card.
        {{{"a.csv", ""}, {"a.machine", "name=desk\n"}, {"b.csv", ""}},
         {"a desk -", "b b -"},
         {"b.machine"}},
        // The synchroniser's files in passing, and ours that are no logs.
        {{{".syncthing.a.csv.tmp", ""},
          {"~syncthing~a.csv.tmp", ""},
          {"a.machine", "name=x\n"},
          {".csv", ""},
          {"notes.txt", ""}},
         {},
         {}},
        // A conflict copy of a log: two writers of one id.
        {{{"a.csv", ""},
          {"a.machine", "name=x\n"},
          {"a.sync-conflict-20261207-101010-ABC.csv", ""}},
         {"a x -"},
         {"conflict copy of a.csv"}},
        // Two machines of one name are told apart.
        {{{"0123456789.csv", ""},
          {"0123456789.machine", "name=pc\n"},
          {"abcdefgh.csv", ""},
          {"abcdefgh.machine", "name=pc\n"}},
         {"0123456789 pc (012345) -", "abcdefgh pc (abcdef) -"},
         {}},
    };
    for (const auto& c : cases) {
        FakeFileSystem fs;
        fs.createDirectories("/s");
        for (const auto& [name, content] : c.files) {
            fs.addFile(std::string("/s/") + name, content);
        }
        const MachineFolder found = readMachineFolder(fs, "/s/");
        std::vector<std::string> logs;
        for (const MachineLog& log : found.logs) {
            EXPECT_EQ(log.path, "/s/" + log.id + ".csv");
            logs.push_back(log.id + " " + log.name + " " + log.zone.value_or("-"));
        }
        EXPECT_EQ(logs, std::vector<std::string>(c.logs.begin(), c.logs.end()));
        ASSERT_EQ(found.problems.size(), c.problems.size()) << c.files.size();
        for (std::size_t i = 0; i < c.problems.size(); ++i) {
            EXPECT_NE(found.problems[i].find(c.problems[i]), std::string::npos)
                << found.problems[i];
        }
    }
}

TEST(MachineFolderTest, TheMachineIdIsAStableHashAndTheCardIsWrittenOnlyWhenItChanges) {
    FakeFileSystem fs;
    EXPECT_EQ(machineId(fs), std::nullopt);
    fs.addFile("/etc/machine-id", "4c4c4544004a4d10804bb3c04f4e4e32\n");
    EXPECT_EQ(machineId(fs), "357a00be0f12101f") << "a file name in a shared folder never changes";
    EXPECT_NE(machineIdOf("4c4c4544004a4d10804bb3c04f4e4e33"), machineId(fs));

    fs.createDirectories("/s");
    const MachineCard card{"desk", "Europe/Paris"};
    ASSERT_EQ(writeMachineCard(fs, "/s/a.machine", card), std::nullopt);
    EXPECT_EQ(readMachineCard(fs.content("/s/a.machine")), card);
    const std::int64_t changed = fs.regular("/s/a.machine")->modified;
    ASSERT_EQ(writeMachineCard(fs, "/s/a.machine", card), std::nullopt);
    EXPECT_EQ(fs.regular("/s/a.machine")->modified, changed);
}

}  // namespace
}  // namespace tesuko
