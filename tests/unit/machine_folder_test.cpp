// SPDX-License-Identifier: GPL-3.0-or-later
// A folder several machines share through a synchroniser: whose logs are
// there, and what of the synchroniser's own files a reader must leave alone.

#include <gtest/gtest.h>

#include "fakes/fake_file_system.h"
#include "machines/machine_folder.h"

namespace tesuko {
namespace {

TEST(MachineFolderTest, ReadsEachMachinesLogWithItsCardAndNoSynchroniserFile) {
    FakeFileSystem fs;
    for (const char* name :
         {"a.csv", "b.csv", "c.csv", "d.csv", ".csv", "notes.txt", ".syncthing.a.csv.tmp",
          "~syncthing~a.csv.tmp", "a.sync-conflict-20261207-101010-ABC.csv"}) {
        fs.addFile(std::string("/s/") + name, "");
    }
    fs.addFile("/s/a.machine", "name=desk\nzone=Asia/Tokyo\nlater=x\n");
    fs.addFile("/s/c.machine", "name=pc\n");
    fs.addFile("/s/d.machine", "name=pc\n");
    EXPECT_FALSE(readMachineFolder(fs, "/t/"));
    const MachineFolder found = readMachineFolder(fs, "/s/").value();
    std::vector<std::string> logs;
    for (const MachineLog& log : found.logs) {
        logs.push_back(log.path + " " + log.id + " " + log.name + " " + log.zone.value_or("-"));
    }
    // No card: the id for a name, this machine's zone; one name twice: told apart.
    EXPECT_EQ(logs, (std::vector<std::string>{"/s/a.csv a desk Asia/Tokyo", "/s/b.csv b b -",
                                              "/s/c.csv c pc (c) -", "/s/d.csv d pc (d) -"}));
    ASSERT_EQ(found.problems.size(), 2u);
    EXPECT_NE(found.problems[0].find("is a conflict copy of a.csv"), std::string::npos);
    EXPECT_NE(found.problems[1].find("/s/b.csv has no b.machine"), std::string::npos);
}

}  // namespace
}  // namespace tesuko
