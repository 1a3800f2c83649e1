#include <gtest/gtest.h>

#include <QUrl>

#include "settings/file_url.h"

namespace tesuko {
namespace {

// Qt, an independent URL reader, must find the same local file in our text.
TEST(FileUrlAgainstQUrl, QtReadsBackTheSamePath) {
    const char* const paths[] = {
        "/Users/user/My Logs/week 1.csv",
        "/home/u/\u3000日本語\u3000/記録.csv",
        "/home/u/100% done/%E3%80%80.csv",
        "/home/u/#tag/?query=1&x;y=z.csv",
        "/home/u/\xF0\x9F\x93\x8A/\xF0\x9F\x98\x80.CSV",
        "/home/u/[brackets] {braces} \"quotes\" 'single' `tick`/a\\b^c|d<e>f.csv",
        "/home/u/a-b._~!$&()*+,;=:@/c.csv",
    };
    for (const char* path : paths) {
        std::string url = fileUrlFromPath(path);
        QUrl parsed(QString::fromStdString(url), QUrl::StrictMode);
        ASSERT_TRUE(parsed.isValid()) << url << ": " << parsed.errorString().toStdString();
        EXPECT_TRUE(parsed.isLocalFile()) << url;
        EXPECT_EQ(parsed.toLocalFile().toStdString(), path) << url;
    }
}

}  // namespace
}  // namespace tesuko
