// The game's global records: one instance of each, alive for the whole run.
//
// Every rule of the game is a plain procedure over these records. They are declared here
// and nowhere else, held together in `records` (records.cpp); ResetAllRecords() puts every
// one of them back to its program-start value (start-up, the scenario runner and the tests
// use it).
#pragma once

#include <cstdint>

// Every character of the alphabet owns one slot; slot 133 belongs to no character but every
// pass over the slots still visits it.
constexpr int32_t kSlotCount = 134;
constexpr int32_t kLevelCount = 5;
constexpr int32_t kNameSize = 80;  // a name holds at most 79 characters and its zero

struct HighScoreEntry {
  int32_t best;
  char name[kNameSize];
  bool operator==(const HighScoreEntry&) const = default;
};

// The five character classes, in alphabet order; the ModeMask bit of class c is 1 << c.
enum CharClass : int32_t { Upper = 0, Lower, Digit, Symbol, Kana, kClassCount };

// First and last slot of a class, both included.
struct ClassRange {
  int32_t first;
  int32_t last;
  bool operator==(const ClassRange&) const = default;
};

// Counters, flags and options. All fields are 32-bit signed except modeMask.
struct GameState {
  int32_t score;            // 0..99999; hits raise it, also in the demonstration
  int32_t misses;           // mistyped keys; the tenth ends a game
  int32_t flushesLeft;      // space-bar flushes left in this game
  int32_t level;            // 1..5: caps how many missiles fall at once
  int32_t liveMissiles;     // slots that are Falling or Exploding
  int32_t liveMirvs;        // slots that are Mirv
  int32_t missileCapacity;  // sum of the sizes of the enabled classes
  int32_t gameOver;         // non-zero while no game runs (demonstration)
  int32_t paused;
  int32_t quit;                                // set when the program is to end
  int32_t soundOn;                             // sound-effect option
  int32_t mirvOn;                              // multiple-warhead option
  uint8_t modeMask;                            // enabled character classes, one bit each
  HighScoreEntry highScoreTable[kLevelCount];  // entry L - 1 belongs to level L
  bool operator==(const GameState&) const = default;
};

// Where the playfield, the ground line, the status band and the launchers lie, in window
// client pixels (x to the right, y downward). Follows every size change of the window.
struct FieldGeometry {
  int32_t fieldLeft;
  int32_t fieldTop;
  int32_t fieldWidth;
  int32_t fieldHeight;
  int32_t statusHeight;
  int32_t fieldRight;
  int32_t groundY;    // bottom of the playfield
  int32_t statusTop;  // top of the status band
  int32_t centreLauncherX;
  int32_t leftLauncherX;
  int32_t rightLauncherX;
  bool operator==(const FieldGeometry&) const = default;
};

// Slot states. Exploding is the range 10..29: state - 10 is the next explosion frame.
enum SlotState : int32_t {
  Idle = 0,
  Falling = 1,
  Mirv = 2,
  ExplodingFirst = 10,
  ExplodingEnd = 30,  // one past the last explosion state
};

// The missile of one slot; it always carries the slot's character.
struct MissileSlot {
  double x;   // centre
  double y;   // centre, downward
  double dx;  // added to x every tick
  double dy;  // added to y every tick
  int32_t state;
  bool operator==(const MissileSlot&) const = default;
};

// The interceptor of one slot; it only ever meets the missile of the same slot.
struct InterceptorSlot {
  double x;
  double y;
  double dx;
  double dy;  // negative is upward
  int32_t active;
  bool operator==(const InterceptorSlot&) const = default;
};

// Menu items that carry a command; the front end shows them, the rules change them.
constexpr int32_t kMenuItemCount = 16;

struct MenuItemState {
  uint16_t id;
  uint8_t checked;
  uint8_t greyed;
  bool operator==(const MenuItemState&) const = default;
};

// Item states in ascending command order, starting as the menu resource has them.
struct MenuModel {
  MenuItemState items[kMenuItemCount];
  bool operator==(const MenuModel&) const = default;
};

// Every record the rules read and write, in one aggregate so that a test or a benchmark can
// take and compare the whole state with one assignment.
struct GameRecords {
  GameState gameState;
  FieldGeometry fieldGeometry;
  MissileSlot missileSlots[kSlotCount];
  InterceptorSlot interceptorSlots[kSlotCount];
  MenuModel menuModel;
  uint32_t randomSeed;                  // state of the game's pseudo-random generator
  uint32_t charToSlot[256];             // character code -> slot; 0 for codes outside the alphabet
  ClassRange classRanges[kClassCount];  // built from the alphabet at start-up
  bool operator==(const GameRecords&) const = default;
};

// The one instance, defined in records.cpp.
extern GameRecords records;

// The rules name each record directly; these are the same objects as the members above.
inline constexpr GameState& gameState = records.gameState;
inline constexpr FieldGeometry& fieldGeometry = records.fieldGeometry;
inline constexpr MissileSlot (&missileSlots)[kSlotCount] = records.missileSlots;
inline constexpr InterceptorSlot (&interceptorSlots)[kSlotCount] = records.interceptorSlots;
inline constexpr MenuModel& menuModel = records.menuModel;
inline constexpr uint32_t& randomSeed = records.randomSeed;
inline constexpr uint32_t (&charToSlot)[256] = records.charToSlot;
inline constexpr ClassRange (&classRanges)[kClassCount] = records.classRanges;

// Puts every record back to its value at program start.
void ResetAllRecords();
