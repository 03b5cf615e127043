#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/settings_store.h"
#include "ui/player_tables.h"
#include "ui/profiles.h"
#include "ui/score_tables.h"

namespace corsavel {

// A fresh user folder with its "settings" folder, and empty tables.
class UserFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/corsavel-ui-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        ASSERT_TRUE(initPaths(folder_.c_str(), (folder_ + "/home").c_str()));
        ASSERT_TRUE(makeDirectories(settingsPath("").c_str()));
        forgetPlayerTables();
        settings = Settings{};
    }
    void TearDown() override {
        forgetPlayerTables();
        chmod(settingsPath("").c_str(), 0755);
        std::string command = "rm -rf '" + folder_ + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    std::string settingsPath(const std::string& name) const {
        return folder_ + "/home/settings/" + name;
    }
    std::vector<uint8_t> readBytes(const std::string& path) const {
        std::vector<uint8_t> bytes;
        FILE* f = std::fopen(path.c_str(), "rb");
        if (f == nullptr) {
            return bytes;
        }
        int c;
        while ((c = std::fgetc(f)) != EOF) {
            bytes.push_back(static_cast<uint8_t>(c));
        }
        std::fclose(f);
        return bytes;
    }
    void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        if (!bytes.empty()) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
        }
        std::fclose(f);
    }
    bool exists(const std::string& path) const { return access(path.c_str(), F_OK) == 0; }
    std::string folder_;
};

}  // namespace corsavel
