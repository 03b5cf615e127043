// The recording's file: what a bug report carries and the harness replays.
#include "app/session_record.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/clock.h"
#include "platform/pointer.h"

namespace corsavel {
namespace {

uint32_t fakeNow = 1000;
uint32_t fakeClock() {
    return fakeNow;
}

class SessionRecord : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/corsavel-record-XXXXXX";
        int fd = mkstemp(name);
        ASSERT_GE(fd, 0);
        close(fd);
        path_ = name;
        fakeNow = 1000;
        setClockSource(fakeClock);
        overridePointer(0.0f, 0.0f);
    }
    void TearDown() override {
        stopSessionRecording();
        setClockSource(nullptr);
        clearPointerOverride();
        std::remove(path_.c_str());
    }
    // The file's lines after the two comment lines.
    std::string body() {
        std::ifstream in(path_);
        std::string line;
        std::string out;
        while (std::getline(in, line)) {
            if (!line.empty() && line[0] != '#') {
                out += line + "\n";
            }
        }
        return out;
    }
    void frame(uint32_t step) {
        fakeNow += step;
        recordFramePass();
    }
    std::string path_;
};

TEST_F(SessionRecord, SeedStepsPointerAndMessagesInOrder) {
    char error[256];
    ASSERT_TRUE(startSessionRecording(path_.c_str(), 4242, false, error, sizeof error));
    EXPECT_FALSE(sessionRecording());
    // Nothing before the session begins (start-up's own messages).
    recordMessage({MessageKind::KeyDown, 32});
    beginRecordedSession();
    EXPECT_TRUE(sessionRecording());
    frame(16);
    frame(17);
    overridePointer(-120.5f, 75.25f);
    recordMessage({MessageKind::MouseMove, 0});
    recordMessage({MessageKind::LeftDown, 0});
    frame(33);
    // An unchanged pointer is not written again.
    recordMessage({MessageKind::LeftUp, 0});
    recordMessage({MessageKind::KeyDown, 27});
    // A script line from the harness comes after the frames before it.
    frame(5);
    recordScriptLine("level 3 1");
    frame(16);
    stopSessionRecording();
    EXPECT_FALSE(sessionRecording());
    EXPECT_EQ(body(),
              "seed 4242\n"
              "pointer 0 0\n"
              "steps 16 17\n"
              "pointer -120.5 75.25\n"
              "send mousemove\n"
              "send leftdown\n"
              "steps 33\n"
              "send leftup\n"
              "send keydown 27\n"
              "steps 5\n"
              "level 3 1\n"
              "steps 16\n");
}

TEST_F(SessionRecord, LongRunsOfFramesSplitIntoLinesAndPointersRoundTrip) {
    char error[256];
    ASSERT_TRUE(startSessionRecording(path_.c_str(), 1, false, error, sizeof error));
    const float x = 0.1f;
    const float y = -299.999f;
    overridePointer(x, y);
    beginRecordedSession();
    for (int i = 0; i < 50; ++i) {
        frame(16);
    }
    stopSessionRecording();
    std::istringstream lines(body());
    std::string line;
    int frames = 0;
    int stepLines = 0;
    float readX = 0;
    float readY = 0;
    while (std::getline(lines, line)) {
        if (line.rfind("steps ", 0) == 0) {
            ++stepLines;
            std::istringstream words(line.substr(6));
            int step = 0;
            while (words >> step) {
                EXPECT_EQ(step, 16);
                ++frames;
            }
        } else if (line.rfind("pointer ", 0) == 0) {
            ASSERT_EQ(std::sscanf(line.c_str(), "pointer %f %f", &readX, &readY), 2);
        }
    }
    EXPECT_EQ(frames, 50);
    EXPECT_GE(stepLines, 3);
    // The harness reads back exactly the float the game used.
    EXPECT_EQ(readX, x);
    EXPECT_EQ(readY, y);
}

TEST_F(SessionRecord, AnUnwritableFileIsRefusedWithItsReason) {
    char error[256] = {};
    EXPECT_FALSE(startSessionRecording("/nonexistent-folder/rec.script", 1, false, error,
                                       sizeof error));
    EXPECT_NE(std::string(error).find("/nonexistent-folder/rec.script"), std::string::npos);
    beginRecordedSession();
    EXPECT_FALSE(sessionRecording());
}

TEST(SessionRecordNames, EveryMessageKindHasANameThatReadsBack) {
    for (int k = static_cast<int>(MessageKind::Activate);
         k <= static_cast<int>(MessageKind::MiddleUp); ++k) {
        const MessageKind kind = static_cast<MessageKind>(k);
        const char* name = messageKindName(kind);
        ASSERT_NE(name, nullptr) << k;
        MessageKind back = MessageKind::None;
        EXPECT_TRUE(messageKindFromName(name, &back)) << name;
        EXPECT_EQ(back, kind) << name;
    }
    EXPECT_EQ(messageKindName(MessageKind::None), nullptr);
    MessageKind unused = MessageKind::None;
    EXPECT_FALSE(messageKindFromName("click", &unused));
    EXPECT_FALSE(messageKindFromName("", &unused));
}

}  // namespace
}  // namespace corsavel
