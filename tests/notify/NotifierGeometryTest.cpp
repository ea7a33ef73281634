// Where the notice comes from on each taskbar position, and every step of its way there and back.
#include "NotifierGeometry.h"

#include <gtest/gtest.h>

#include <ostream>

void PrintTo(const ScreenPoint& point, std::ostream* out) { *out << "(" << point.x << ", " << point.y << ")"; }

namespace {

// A 1024 x 768 screen.
DisplayFacts Work(int left, int top, int right, int bottom) { return {left, top, right, bottom, 1024, 768}; }

}  // namespace

TEST(NotifierGeometry, EachTaskbarEdgeHasItsStartShownPositionAndPace)
{
    const struct {
        const char* taskbar;
        DisplayFacts display;
        NotifierEdge edge;
        ScreenPoint start;
        ScreenPoint shown;
        int steps;
        unsigned stepDelay;
    } cases[] = {
        {"bottom", Work(0, 0, 1024, 738), EDGE_BOTTOM, {844, 738}, {844, 618}, 60, 8},
        {"left", Work(30, 0, 1024, 768), EDGE_LEFT, {-150, 648}, {30, 648}, 90, 5},
        {"right", Work(0, 0, 994, 768), EDGE_RIGHT, {994, 648}, {814, 648}, 90, 5},
        {"top", Work(0, 30, 1024, 768), EDGE_TOP, {844, -90}, {844, 30}, 60, 8},
        {"hidden", Work(0, 0, 1024, 768), EDGE_BOTTOM, {844, 768}, {844, 648}, 60, 8},
        {"right, and a bar on top", Work(0, 30, 994, 768), EDGE_RIGHT, {994, 648}, {814, 648}, 90, 5},
        {"left, and a bar on top", Work(30, 30, 1024, 768), EDGE_LEFT, {-150, 648}, {30, 648}, 90, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.taskbar);
        const auto plan = PlanSlide(c.display, 180, 120, 500, 500);
        ASSERT_TRUE(plan);
        EXPECT_EQ(plan->edge, c.edge);
        EXPECT_EQ(plan->start, c.start);
        EXPECT_EQ(plan->shown, c.shown);
        EXPECT_EQ(plan->steps, c.steps);
        EXPECT_EQ(plan->showStepDelay, c.stepDelay);
        EXPECT_EQ(plan->hideStepDelay, c.stepDelay);

        // Each step 2 pixels straight toward the shown position, then back the same way.
        const auto at = [&](int step) {
            return ScreenPoint{c.start.x + (c.shown.x - c.start.x) * step / c.steps,
                               c.start.y + (c.shown.y - c.start.y) * step / c.steps};
        };
        ScreenPoint current = plan->start;
        for (int step = 1; step <= c.steps; ++step) {
            ASSERT_TRUE(StepIn(*plan, current));
            ASSERT_EQ(current, at(step));
        }
        EXPECT_FALSE(StepIn(*plan, current));
        for (int step = c.steps - 1; step >= 0; --step) {
            ASSERT_TRUE(StepBack(*plan, current));
            ASSERT_EQ(current, at(step));
        }
        EXPECT_FALSE(StepBack(*plan, current));
        EXPECT_EQ(current, c.start);
    }
}

// The steps are the skin's extent across the edge divided by 2, and the delays divide by them: a
// skin narrower than 2 pixels that way, or none, plans nothing rather than dividing by zero.
TEST(NotifierGeometry, ASkinTooNarrowToSlidePlansNothing)
{
    const DisplayFacts bottom = Work(0, 0, 1024, 738);
    const DisplayFacts right = Work(0, 0, 994, 768);
    const struct {
        DisplayFacts display;
        int width, height, steps;  // 0 steps: no slide
    } cases[] = {{bottom, 0, 0, 0},   {right, 0, 0, 0},   {bottom, 180, 1, 0}, {right, 1, 120, 0},
                 {right, 180, 1, 90}, {bottom, 1, 120, 60}, {bottom, 2, 2, 1}};
    for (const auto& c : cases) {
        const auto plan = PlanSlide(c.display, c.width, c.height, 500, 500);
        EXPECT_EQ(plan ? plan->steps : 0, c.steps) << c.width << " x " << c.height;
    }
}
