#pragma once

#include <cstdint>

namespace corsavel {

// Virtual-key codes the game and the harness name (the Windows numbering).
namespace vk {
constexpr int32_t kBackspace = 8;
constexpr int32_t kTab = 9;
constexpr int32_t kEnter = 13;
constexpr int32_t kShift = 16;
constexpr int32_t kControl = 17;
constexpr int32_t kAlt = 18;
constexpr int32_t kPause = 19;
constexpr int32_t kEscape = 27;
constexpr int32_t kSpace = 32;
constexpr int32_t kPageUp = 33;
constexpr int32_t kPageDown = 34;
constexpr int32_t kEnd = 35;
constexpr int32_t kHome = 36;
constexpr int32_t kLeft = 37;
constexpr int32_t kUp = 38;
constexpr int32_t kRight = 39;
constexpr int32_t kDown = 40;
constexpr int32_t kInsert = 45;
constexpr int32_t kDelete = 46;
constexpr int32_t kF1 = 112;
}  // namespace vk

}  // namespace corsavel
