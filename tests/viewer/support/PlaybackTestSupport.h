#pragma once
// What the playback tests share: which slice the selector names and the frame shows, whether
// playback runs, and playback steps taken by the test instead of the timer.
#include "viewer/ViewerDialog.h"

namespace orvel::test {

// "Start" pressed and "Stop" released.
bool Playing(const viewer::ViewerDialog& viewer);

// The slice the selector names.
int SelectedSlice(const viewer::ViewerDialog& viewer);

// The slice on screen, told by the grey value of its top-left pixel (16 x the slice index, as
// SlicePixel writes it, give or take tolerance grey levels for a lossy format); -1 when the frame
// shows no slice.
int ShownSlice(const viewer::ViewerDialog& viewer, int tolerance = 0);

// One playback step as the timer gives it, with any pause it takes over at once.
void Step(viewer::ViewerDialog& viewer);

// Waits until the workers hold at least that many slices read ahead, without running the event loop, whose playback
// timer would take steps.
void WaitForReadAhead(const viewer::ViewerDialog& viewer, int slices);

}  // namespace orvel::test
