#include <gtest/gtest.h>

#include <algorithm>

#include "settings/file_url.h"

namespace tesuko {
namespace {

TEST(FileUrlFromPath, EncodesWhatAUrlPathCannotHoldInUpperCaseHex) {
    struct Case {
        const char* path;
        const char* url;
    };
    const Case cases[] = {
        {"/Users/user/My Logs/log.csv", "file:///Users/user/My%20Logs/log.csv"},
        {"/Users/user/My Logs/week 1.csv", "file:///Users/user/My%20Logs/week%201.csv"},
        {"/a\u3000b/c.csv", "file:///a%E3%80%80b/c.csv"},
        {"/日本/記録.csv", "file:///%E6%97%A5%E6%9C%AC/%E8%A8%98%E9%8C%B2.csv"},
        {"/100%/#1?.csv", "file:///100%25/%231%3F.csv"},
        {"/log.csv", "file:///log.csv"},
        {"/", "file:///"},
        {"/a-b._~!$&'()*+,;=:@/c", "file:///a-b._~!$&'()*+,;=:@/c"},
        {"/\"<>\\^`{|}[]\t\x7f", "file:///%22%3C%3E%5C%5E%60%7B%7C%7D%5B%5D%09%7F"},
        {"/\xF0\x9F\x98\x80.csv", "file:///%F0%9F%98%80.csv"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fileUrlFromPath(c.path), c.url) << c.path;
    }
}

TEST(FileUrlFromPath, AwkwardNamesComeBackThroughTheDecoder) {
    const char* const paths[] = {
        "/home/u/My Logs/week 1.csv",
        "/home/u/\u3000日本語\u3000/記録\u3000.csv",
        "/home/u/100%25 %E3%80%80/%.csv",
        "/home/u/#tag/?query=1&x.csv",
        "/home/u/\xF0\x9F\x93\x8A emoji/\xF0\x9F\x98\x80.CSV",
        "/log.csv",
    };
    for (const char* path : paths) {
        std::string url = fileUrlFromPath(path);
        EXPECT_EQ(url.find_first_of(" #?"), std::string::npos) << url;
        EXPECT_TRUE(std::all_of(url.begin(), url.end(), [](char c) { return (c & 0x80) == 0; }))
            << url;
        EXPECT_EQ(percentDecode(pathFromUrlText(url)), path);
        FolderAndFile split = splitFolderAndFile(url);
        EXPECT_EQ(percentDecode(split.folder) + percentDecode(split.fileName), path);
    }
}

}  // namespace
}  // namespace tesuko
