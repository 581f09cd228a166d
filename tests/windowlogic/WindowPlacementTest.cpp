// Where the window opens from what the settings hold, and what a save at exit records.
#include <gtest/gtest.h>

#include "windowlogic/WindowPlacement.h"

namespace quillery {

void PrintTo(const Rect& r, std::ostream* os) {
    *os << r.left << "," << r.top << " " << r.width << "x" << r.height;
}

namespace {

Settings Saved(int x, int y, int w, int h) {
    Settings s;
    s.windowX = x;
    s.windowY = y;
    s.windowWidth = w;
    s.windowHeight = h;
    return s;
}

TEST(SavedWindowRect, OnlyAZeroSizeMeansNothingSaved) {
    EXPECT_EQ(SavedWindowRect(Saved(0, 0, 0, 0)), std::nullopt);
    EXPECT_EQ(SavedWindowRect(Saved(120, 90, 0, 480)), std::nullopt);
    EXPECT_EQ(SavedWindowRect(Saved(120, 90, 640, 0)), std::nullopt);
    // A window at the left or top edge, or on a monitor left of the primary one.
    EXPECT_EQ(SavedWindowRect(Saved(0, 0, 640, 480)), (Rect{0, 0, 640, 480}));
    EXPECT_EQ(SavedWindowRect(Saved(120, 0, 640, 480)), (Rect{120, 0, 640, 480}));
    EXPECT_EQ(SavedWindowRect(Saved(-1280, 40, 640, 480)), (Rect{-1280, 40, 640, 480}));
    // Hand-edited sizes are the placement's to deal with.
    EXPECT_EQ(SavedWindowRect(Saved(5, 6, -600, 99999999)), (Rect{5, 6, -600, 99999999}));
}

// One 1600 x 1000 screen; a title bar 30 high; a template 660 x 520 with its frame.
PlacementInput Input(std::optional<Rect> saved, std::vector<Rect> areas = {{0, 0, 1600, 1000}}) {
    return {saved, std::move(areas), {660, 520}, {300, 200}, 30};
}

TEST(PlanWindowRect, ARectangleThatFitsIsRestoredExactly) {
    for (const Rect& r : {Rect{0, 0, 640, 480}, Rect{120, 0, 640, 480}, Rect{0, 90, 640, 480},
                          Rect{120, 90, 640, 480}, Rect{0, 0, 1600, 1000},
                          // Only the title bar must be on the screen.
                          Rect{900, 970, 700, 400}}) {
        EXPECT_EQ(PlanWindowRect(Input(r)), r);
    }
}

TEST(PlanWindowRect, TheTitleBarIsReachableAndTheWindowWithinTheWorkArea) {
    struct Row {
        Rect saved, expected;
    };
    const Row rows[] = {
        // The title bar above the screen, or partly left of it: moved the least distance.
        {{200, -10, 640, 480}, {200, 0, 640, 480}},
        {{-200, 90, 640, 480}, {0, 90, 640, 480}},
        {{1200, 980, 640, 480}, {960, 520, 640, 480}},
        // Hand-edited sizes: a negative width raised to the minimum, a height cut to the
        // work area's.
        {{100, 80, -600, 99999999}, {100, 0, 300, 1000}},
        {{100, 80, 640, 5000}, {100, 0, 640, 1000}},
        {{100, 80, 1, 1}, {100, 80, 300, 200}},
        // Larger than the screen both ways.
        {{-50, -50, 4000, 3000}, {0, 0, 1600, 1000}},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(PlanWindowRect(Input(r.saved)), r.expected);
    }
}

TEST(PlanWindowRect, NothingSavedOrOnNoScreenOpensCentredAtTheDefaultSize) {
    EXPECT_EQ(PlanWindowRect(Input(std::nullopt)), (Rect{470, 240, 660, 520}));
    EXPECT_EQ(PlanWindowRect(Input(Rect{5000, 4000, 600, 400})), (Rect{470, 240, 660, 520}));
    EXPECT_EQ(PlanWindowRect(Input(Rect{-3000, 200, 600, 400})), (Rect{470, 240, 660, 520}));
    // A scaled program on a small screen: a default size larger than the work area is cut
    // to it, so the title bar is not above the screen.
    PlacementInput scaled = Input(std::nullopt, {{0, 0, 800, 500}});
    scaled.defaultOuter = {1320, 1040};
    EXPECT_EQ(PlanWindowRect(scaled), (Rect{0, 0, 800, 500}));
    // A panel at the top: the work area, not the screen, holds the window.
    EXPECT_EQ(PlanWindowRect(Input(Rect{100, 0, 640, 480}, {{0, 40, 1600, 960}})),
              (Rect{100, 40, 640, 480}));
}

TEST(PlanWindowRect, SeveralScreens) {
    // The primary screen first; a second one to its left, lower and smaller.
    const std::vector<Rect> areas = {{0, 0, 1600, 1000}, {-1280, 200, 1280, 800}};
    EXPECT_EQ(PlanWindowRect(Input(Rect{-1000, 300, 640, 480}, areas)),
              (Rect{-1000, 300, 640, 480}));
    // Mostly on the second screen but its title bar above that screen's top: onto it.
    EXPECT_EQ(PlanWindowRect(Input(Rect{-1000, 150, 640, 480}, areas)),
              (Rect{-1000, 200, 640, 480}));
    // Taller than the second screen while on it: cut to that screen's height.
    EXPECT_EQ(PlanWindowRect(Input(Rect{-1000, 300, 640, 900}, areas)),
              (Rect{-1000, 200, 640, 800}));
    // Straddling both, mostly on the primary one: moved wholly onto it.
    EXPECT_EQ(PlanWindowRect(Input(Rect{-100, 100, 640, 480}, areas)), (Rect{0, 100, 640, 480}));
    // Nothing saved: centred on the primary screen, wherever the others lie.
    EXPECT_EQ(PlanWindowRect(Input(std::nullopt, areas)), (Rect{470, 240, 660, 520}));
}

TEST(PlanWindowRect, TheTitleBarHeightDecidesAtTheBottomEdge) {
    PlacementInput in = Input(Rect{100, 975, 640, 400});
    in.titleHeight = 0;  // not known yet: its top row must be on the screen
    EXPECT_EQ(PlanWindowRect(in), (Rect{100, 975, 640, 400}));
    in.titleHeight = 30;
    EXPECT_EQ(PlanWindowRect(in), (Rect{100, 600, 640, 400}));
}

TEST(ClientSizeFor, TakesTheFrameOffButKeepsTheMinimum) {
    const FrameMargins frame{1, 30, 1, 1};
    EXPECT_EQ(ClientSizeFor({640, 480}, frame, {300, 200}), (Size{638, 449}));
    EXPECT_EQ(ClientSizeFor({100, 100}, frame, {300, 200}), (Size{300, 200}));
}

TEST(WindowStateToSave, TheLiveRectangleElseTheFirstSeenElseNothing) {
    const Rect live{120, 0, 640, 480}, seen{10, 20, 300, 200};
    WindowState state = WindowStateToSave(false, false, live, seen);
    EXPECT_TRUE(state.rectangleKnown);
    EXPECT_EQ((std::vector<int>{state.left, state.top, state.right, state.bottom}),
              (std::vector<int>{120, 0, 760, 480}));
    state = WindowStateToSave(false, false, std::nullopt, seen);
    EXPECT_EQ((std::vector<int>{state.left, state.top, state.right, state.bottom}),
              (std::vector<int>{10, 20, 310, 220}));
    EXPECT_FALSE(WindowStateToSave(false, false, std::nullopt, std::nullopt).rectangleKnown);
    state = WindowStateToSave(true, false, live, seen);
    EXPECT_TRUE(state.minimized);
    EXPECT_TRUE(WindowStateToSave(false, true, live, seen).maximized);
}

}  // namespace
}  // namespace quillery
