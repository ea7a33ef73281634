#pragma once
#include <optional>

// Where the notice popup slides from and how it moves, as a function of the desktop's work area,
// the screen's size and the skin's size alone: every taskbar position can be tried without a
// display that has it. Screen pixels throughout.

// The screen edge the taskbar sits on, which the popup slides out of.
enum NotifierEdge { EDGE_TOP = 1, EDGE_LEFT = 2, EDGE_RIGHT = 3, EDGE_BOTTOM = 4 };

// Distance the popup moves per animation step.
constexpr int kSlideIncrement = 2;

struct ScreenPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

// What the platform says of the desktop: the work area (what the taskbar leaves free) and the
// whole screen's size.
struct DisplayFacts {
    int workLeft = 0;
    int workTop = 0;
    int workRight = 0;
    int workBottom = 0;
    int screenWidth = 0;
    int screenHeight = 0;
};

// The taskbar's edge: right, left or top when the work area shows one, else the bottom (also for
// a taskbar that hides itself or is absent, which leave the work area as large as the screen).
NotifierEdge DetectTaskbarEdge(const DisplayFacts& display);

// One slide of a skin of width x height: from `start`, just outside the work area, in `steps`
// increments to `shown`, fully inside it, and back, one step every show or hide step delay.
struct SlidePlan {
    NotifierEdge edge = EDGE_BOTTOM;
    int width = 0;
    int height = 0;
    int steps = 0;
    unsigned showStepDelay = 0;
    unsigned hideStepDelay = 0;
    ScreenPoint start;
    ScreenPoint shown;
};

// The slide for the taskbar's present edge; nothing when the skin is less than one increment
// across the sliding direction (no skin at all included), since there would be no step to pace.
std::optional<SlidePlan> PlanSlide(const DisplayFacts& display, int width, int height, unsigned timeToShow,
                                   unsigned timeToHide);

// One step out of the taskbar from `current`: true when it moved `current`, false (leaving it)
// once the popup has travelled its whole extent.
bool StepIn(const SlidePlan& plan, ScreenPoint& current);
// One step back toward the start: true when it moved `current`, false once it is back there.
bool StepBack(const SlidePlan& plan, ScreenPoint& current);
