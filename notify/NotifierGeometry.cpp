#include "NotifierGeometry.h"

namespace {

// Each edge's direction into the work area: one unit along the axis the popup slides on.
struct EdgeMotion {
    int dx;
    int dy;
};

EdgeMotion MotionOf(NotifierEdge edge)
{
    switch (edge) {
    case EDGE_TOP:
        return {0, 1};
    case EDGE_LEFT:
        return {1, 0};
    case EDGE_RIGHT:
        return {-1, 0};
    case EDGE_BOTTOM:
        break;
    }
    return {0, -1};
}

int Extent(const SlidePlan& plan) { return MotionOf(plan.edge).dx != 0 ? plan.width : plan.height; }

// How far `current` lies from the start toward the work area.
int Travelled(const SlidePlan& plan, const ScreenPoint& current)
{
    const EdgeMotion motion = MotionOf(plan.edge);
    return motion.dx * (current.x - plan.start.x) + motion.dy * (current.y - plan.start.y);
}

void Move(const SlidePlan& plan, ScreenPoint& current, int distance)
{
    const EdgeMotion motion = MotionOf(plan.edge);
    current.x += motion.dx * distance;
    current.y += motion.dy * distance;
}

}  // namespace

NotifierEdge DetectTaskbarEdge(const DisplayFacts& display)
{
    const bool narrower = display.workRight - display.workLeft < display.screenWidth;
    const bool lower = display.workBottom - display.workTop < display.screenHeight;
    if (narrower && display.workLeft == 0)
        return EDGE_RIGHT;
    if (narrower)
        return EDGE_LEFT;
    if (lower && display.workTop != 0)
        return EDGE_TOP;
    return EDGE_BOTTOM;
}

std::optional<SlidePlan> PlanSlide(const DisplayFacts& display, int width, int height, unsigned timeToShow,
                                   unsigned timeToHide)
{
    SlidePlan plan;
    plan.edge = DetectTaskbarEdge(display);
    plan.width = width;
    plan.height = height;
    plan.steps = Extent(plan) / kSlideIncrement;
    if (plan.steps <= 0)
        return std::nullopt;
    plan.showStepDelay = timeToShow / static_cast<unsigned>(plan.steps);
    plan.hideStepDelay = timeToHide / static_cast<unsigned>(plan.steps);
    switch (plan.edge) {
    case EDGE_RIGHT:
        plan.start = {display.workRight, display.workBottom - height};
        break;
    case EDGE_LEFT:
        plan.start = {display.workLeft - width, display.workBottom - height};
        break;
    case EDGE_TOP:
        plan.start = {display.workRight - width, display.workTop - height};
        break;
    case EDGE_BOTTOM:
        plan.start = {display.workRight - width, display.workBottom};
        break;
    }
    plan.shown = plan.start;
    Move(plan, plan.shown, Extent(plan));
    return plan;
}

bool StepIn(const SlidePlan& plan, ScreenPoint& current)
{
    if (Travelled(plan, current) >= Extent(plan))
        return false;
    Move(plan, current, kSlideIncrement);
    return true;
}

bool StepBack(const SlidePlan& plan, ScreenPoint& current)
{
    if (Travelled(plan, current) <= 0)
        return false;
    Move(plan, current, -kSlideIncrement);
    return true;
}
