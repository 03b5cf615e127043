#include <gtest/gtest.h>

#include <cmath>
#include <libopenmpt/libopenmpt.hpp>
#include <set>
#include <sstream>

#include "forge/sound_forge.h"

namespace corsavel::forge {
namespace {

const std::vector<uint8_t>& module() {
    static const std::vector<uint8_t> bytes = forgeMusicModule();
    return bytes;
}

std::unique_ptr<openmpt::module> openModule() {
    std::ostringstream log;
    return std::make_unique<openmpt::module>(module().data(), module().size(), log);
}

struct Walk {
    std::set<int> orders;
    double firstReturnSeconds = -1.0;  // when the start order came back
    double rms = 0.0;
};

// Plays a tune from its order for `seconds`, noting the orders it visits.
Walk walkTune(int start, double seconds) {
    auto m = openModule();
    m->set_repeat_count(-1);
    m->set_position_order_row(start, 0);
    Walk walk;
    std::vector<int16_t> buffer(2 * 1024);
    double t = 0.0;
    double sum = 0.0;
    size_t count = 0;
    bool left = false;
    while (t < seconds) {
        const size_t n = m->read_interleaved_stereo(22050, 1024, buffer.data());
        if (n == 0) {
            break;
        }
        for (size_t i = 0; i < n * 2; ++i) {
            sum += static_cast<double>(buffer[i]) * buffer[i];
        }
        count += n * 2;
        t += static_cast<double>(n) / 22050.0;
        const int order = m->get_current_order();
        walk.orders.insert(order);
        if (order != start) {
            left = true;
        } else if (left && walk.firstReturnSeconds < 0.0) {
            walk.firstReturnSeconds = t;
        }
    }
    walk.rms = count ? std::sqrt(sum / static_cast<double>(count)) / 32768.0 : 0.0;
    return walk;
}

TEST(MusicModule, ReadByContentWithNineTunesAtTheFirstOrders) {
    auto m = openModule();
    EXPECT_GE(m->get_num_orders(), 9);
    EXPECT_EQ(m->get_num_channels(), 8);
    EXPECT_GE(m->get_num_instruments(), 5);
}

TEST(MusicModule, LevelTunesPlayAMinuteBeforeRepeatingAndStayInTheirOrders) {
    std::set<int> seen;
    for (int tune : {4, 5, 6}) {
        const Walk w = walkTune(tune, 150.0);
        EXPECT_GE(w.firstReturnSeconds, 60.0) << "tune " << tune;
        EXPECT_GT(w.rms, 0.02) << "tune " << tune;
        EXPECT_EQ(w.orders.count(tune), 1u);
        for (int order : w.orders) {
            EXPECT_TRUE(order == tune || order >= 9) << "tune " << tune << " entered " << order;
            EXPECT_EQ(seen.count(order), 0u) << "order " << order << " shared between tunes";
        }
        seen.insert(w.orders.begin(), w.orders.end());
    }
}

TEST(MusicModule, EveryTuneSoundsAndLoopsWithinItsOwnOrders) {
    for (int tune = 0; tune < 9; ++tune) {
        const Walk w = walkTune(tune, 40.0);
        EXPECT_GT(w.rms, 0.01) << "tune " << tune << " (" << tuneName(tune) << ") is silent";
        for (int order : w.orders) {
            EXPECT_TRUE(order == tune || order >= 9) << "tune " << tune << " entered " << order;
        }
    }
}

TEST(MusicModule, ForgedTheSameEveryTime) {
    EXPECT_EQ(forgeMusicModule(), module());
}

}  // namespace
}  // namespace corsavel::forge
