#pragma once

#include <cstdint>

#include "gfx/animation_clock.h"
#include "platform/math_types.h"

namespace corsavel {

constexpr int kRows = 11;
constexpr int kColumns = 12;
constexpr int kMaxSlots = 17;
constexpr int kMaxGroups = 50;
constexpr int kGroupPositions = 7;
constexpr int kBlastEventCount = 30;
constexpr int kBeamCount = 50;
constexpr int kFlyerCount = 150;
constexpr int kMaxDancers = 10;
constexpr int kDanceSequenceLength = 64;
constexpr int kFloatingScoreCount = 64;
constexpr int kTileBreakCount = 100;

enum BonusKind : int32_t {
    kBonusNone = 0,
    kBomb = 1,
    kLightning = 2,
    kCrossBomb = 3,
    kDiagonalBomb = 4,
    kStarBomb = 5,
};

// A treasure piece, in a cell or in the hand; moved by copying the record.
struct Figure {
    Vec2 offset;
    int32_t kind = -1;  // figure slot, -1 = none
    int32_t frame = 0;
    int32_t bonus = 0;
    int32_t pendingBonus = 0;
    bool followsHand = false;
    float fallSpeed = 0.0f;
    bool sliding = false;
    float hoverMs = 0.0f;
    float animMs = 0.0f;
};
static_assert(sizeof(Figure) == 44);

struct Cell {
    int32_t layers = 0;  // -1 hole, 0 plain, 1..2 layers left
    int32_t chained = 0;
    Figure figure;
    int32_t removal = 0;  // 1 line, 2 bomb, 3 lightning, 10 fired bonus
    bool hit = false;
    int32_t groupId[4] = {};
    int32_t runLength[4] = {};
    Vec2 tileOffset;
    Vec2 tileVelocity;
    float tileLift = 0.0f;
    int32_t pendingScore = 0;
    float shimmerMs = 0.0f;
    uint8_t reserved[8] = {};
};
static_assert(sizeof(Cell) == 128);

struct Board {
    Cell cells[kRows][kColumns];
};
static_assert(sizeof(Board) == 16896);

// Positions from the line's far end backwards.
struct GroupRecord {
    int8_t rows[kGroupPositions] = {};
    int8_t columns[kGroupPositions] = {};
    int8_t direction = 0;
    int8_t length = 0;
};
static_assert(sizeof(GroupRecord) == 16);

struct Dancer {
    float turn = 0.0f;
    float x = 0.0f;
    float y = 0.0f;
    float scale = 1.0f;
    float startOffsetMs = 0.0f;
    int32_t sequence[kDanceSequenceLength] = {};
    int32_t hat = 0;
    int32_t model = 0;
    // Playback of the sequence (advanced by the update, shown by drawing).
    int32_t sequenceIndex = 0;
    float playMs = 0.0f;
    // The dance playing and the cross-fade into the next (dancersTick).
    int32_t dance = -1;
    AnimationClock clock;
};

// What the level file set up.
struct LevelSetup {
    int32_t figureCount = 8;
    int32_t slotKinds[kMaxSlots] = {};
    float timeBaseSeconds = 0.0f;
    Dancer dancers[kMaxDancers];
    int32_t dancerCount = 0;
    float dancerCameraDepth = -300.0f;
};

// The hand, the cursor and the swap animation.
struct HandState {
    Figure heldFigure;
    Vec2 cursor;
    Vec2 cursorCopy;
    int32_t cursorMode = 0;
    bool buttonHeld = false;
    bool rejecting = false;
    float swapAngle = 0.0f;
    Vec2 swapVector;
    Vec2 swapSwing;
    float swapFrontLayer = 0.0f;
};

struct MatchState {
    int32_t groupCounter = 0;
    GroupRecord groupList[kMaxGroups];
    int32_t groupListLength = 0;
    int32_t chainStep = 0;
    bool cascadeActive = false;
    float cascadeDelayMs = 0.0f;
    bool playerMove = false;
    int32_t placedRow = 0;
    int32_t placedColumn = 0;
    bool moveMade = false;
    Vec2 hintPosition;
    GroupRecord hintGroup;
    int32_t moveCount = 0;  // cells where the hand's slot makes a line (last search)
};

struct NoMoveState {
    bool noMovesActive = false;
    float noMovesMs = 0.0f;
    int32_t noMovesSlot = -1;
    float noMovesAngle = 80.0f;
    float noMovesScale = 0.0f;
    float noMovesAlpha = 255.0f;
};

struct BlastEvent {
    int32_t type = 0;
    int32_t row = 0;
    int32_t column = 0;
    Vec2 position;
    float elapsedMs = 0.0f;
    float startAtMs = 0.0f;
    float durationMs = 0.0f;
    bool started = false;
    bool arms[8] = {};
};
static_assert(sizeof(BlastEvent) == 44);

struct BeamPoint {
    float x = 0.0f;
    float y = 0.0f;
    uint32_t colour = 0;
    float timeMs = 0.0f;
};

struct BlastState {
    BlastEvent events[kBlastEventCount];
    int32_t nextEvent = 0;
    BeamPoint beams[kBeamCount];
    int32_t beamCount = 0;
    int32_t megaBoomCount = 0;
};

struct Flyer {
    Vec2 position;
    Vec2 spin;
    Vec2 velocity;
    int32_t slot = 0;  // figure slot + 1, 0 = free
    int32_t type = 0;
    int32_t frame = 0;
    float frameMs = 0.0f;
    float radius = 0.0f;
    float angle = 0.0f;
    float radiusRate = 0.0f;
    float angleRate = 0.0f;
    float fade = 0.0f;
};
static_assert(sizeof(Flyer) == 60);

struct FlyerState {
    Flyer flyers[kFlyerCount];
    int32_t nextFlyer = 0;
    float nextSpinAngle = 0.0f;
};

struct GoldBox {
    Vec3 offset;  // y is boxJolt
    bool boxOpen = false;
    float boxOpenMs = 0.0f;
    float boxHeight = -100.0f;
    float boxTarget = 0.0f;
    float lidAngle = 90.0f;
    bool lidSlamming = false;
    float lidReboundMs = 0.0f;
    float turn[3] = {-15.0f, 0.0f, -20.0f};
    float scale = 1.0f;
};

struct ShakeState {
    Matrix4 boardTransform;
    bool shaking = false;
    float shakeMs = 0.0f;
    Vec2 boardOffset;
    float third = 0.0f;
};

struct TipState {
    float tipTimerMs = 0.0f;
    bool hintVisible = false;
    float hintBlinkMs = 0.0f;
    int32_t tipText = -1;  // index into the text table, -1 = none
    char tipKey[20] = {};
    Vec2 tipPosition;
    float tipDelayMs = 0.0f;
    bool tipShowing = false;
    bool tipWaitsForClick = false;
    bool tipShownThisLevel = false;
};

struct FloatingScore {
    Vec2 position;
    Vec2 velocity;
    float size = 0.0f;
    float sizeRate = 0.0f;
    float alpha = 0.0f;
    float alphaRate = 0.0f;
    int32_t value = 0;
};

struct TileBreak {
    Vec2 start;
    int32_t layers = 0;
    Vec2 direction;
    float ageMs = -1.0f;  // below 0: free
};

struct ScoreState {
    int32_t bankedScore = 0;
    int32_t scoreTarget = 0;
    int32_t scoreShown = 0;
    bool timeBonusPhase = false;
    float bonusPhaseMs = 0.0f;
    float bonusDurationMs = 0.0f;
    int32_t bonusTarget = 0;
    int32_t bonusShown = 0;
    float bonusSoundMs = 0.0f;
    float bonusStepMs = 0.0f;
    bool bonusFinished = false;
    float bonusLeftMs = 0.0f;  // time left when the level was won
    bool lifeGained = false;
    float lifeGainedMs = 0.0f;
    FloatingScore floating[kFloatingScoreCount];
    int32_t nextFloating = 0;
    TileBreak breaks[kTileBreakCount];
    int32_t nextBreak = 0;
};

struct ClockState {
    float elapsedMs = 0.0f;
    float timeLimitMs = 0.0f;
    float tickMs = 0.0f;
    bool timedOut = false;
    int32_t workLeft = 0;
    int32_t workTotal = 0;
};

struct LevelFlags {
    bool menuActive = false;
    bool paused = false;
    float pauseMs = 0.0f;
    bool instructionsShown = false;
    bool instructionsOnly = false;
    bool boardDone = false;
    bool levelWon = false;
    float levelEndMs = 0.0f;
    bool levelCompletePage = false;
    bool advancing = false;
    bool stageComplete = false;
    float stageMs = 0.0f;
    bool gameComplete = false;
    int32_t endStyle = 0;
    bool replayAfterLoss = false;
    bool levelLoaded = false;
    float celebrationNextMs = 0.0f;  // clocks of the celebration's periodic events
    float celebrationFallMs = 0.0f;
};

// HUD fades and slide.
struct HudState {
    float boardAlpha = 255.0f;
    float flyerAlpha = 255.0f;
    float handAlpha = 255.0f;
    uint32_t fadeColours[3] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
    float hudSlide = 0.0f;
};

// The whole gameplay state; startLevel replaces it with a fresh instance.
struct GameState {
    Board board;
    LevelSetup level;
    HandState hand;
    MatchState match;
    NoMoveState noMoves;
    BlastState blasts;
    FlyerState flyers;
    GoldBox box;
    ShakeState shake;
    TipState tips;
    ScoreState scores;
    ClockState clock;
    LevelFlags flags;
    HudState hud;
};

extern GameState game;

// Shared with the menus and the saved game.
struct SessionState {
    uint8_t gameMode = 0;  // 0 adventure, 1 puzzle
    int32_t currentLevel = 0;
};
extern SessionState session;

}  // namespace corsavel
