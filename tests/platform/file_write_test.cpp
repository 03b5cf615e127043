#include "platform/file_write.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace corsavel {
namespace {

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int filesIn(const std::string& folder) {
    int n = 0;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d)) {
            n += e->d_name[0] != '.' ? 1 : 0;
        }
        closedir(d);
    }
    return n;
}

class FileWriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/corsavel-write-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        path_ = folder_ + "/table.dat";
    }
    void TearDown() override { ASSERT_EQ(std::system(("rm -rf '" + folder_ + "'").c_str()), 0); }
    std::string folder_;
    std::string path_;
};

TEST_F(FileWriteTest, ReplacesTheWholeFileAndLeavesNoTemporary) {
    ASSERT_TRUE(writeFileAtomically(path_.c_str(), "a longer old content", 20));
    ASSERT_TRUE(writeFileAtomically(path_.c_str(), "new", 3));
    EXPECT_EQ(readWhole(path_), "new");
    EXPECT_EQ(filesIn(folder_), 1);
}

TEST_F(FileWriteTest, MissingFolderFailsWithoutWritingAnything) {
    const std::string path = folder_ + "/missing/table.dat";
    EXPECT_FALSE(writeFileAtomically(path.c_str(), "x", 1));
    EXPECT_EQ(filesIn(folder_), 0);
}

// A disk that fills up mid-write (here a file size limit) keeps the old file
// whole, and the half-written temporary is removed.
TEST_F(FileWriteTest, FailedWriteKeepsTheOldFile) {
    ASSERT_TRUE(writeFileAtomically(path_.c_str(), "old", 3));
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string big(4096, 'n');
    const bool ok = writeFileAtomically(path_.c_str(), big.data(), big.size());
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(ok);
    EXPECT_EQ(readWhole(path_), "old");
    EXPECT_EQ(filesIn(folder_), 1);
}

}  // namespace
}  // namespace corsavel
