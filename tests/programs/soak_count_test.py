"""The viewer soak's count of slices shown (bench/soak_viewer.py), checked against simulated
playback: back and forth over the stack, a rest at either end, read at uneven moments. Readings
closer than the rest give the exact count; a longer gap near an end is reported as unsure."""
import os
import random
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench"))
from soak_viewer import END_REST_S, PlaybackPath  # noqa: E402


def playback(slice_count, steps_per_s, seconds):
    """(time, slice) of every step of playback from slice 0, as the viewer moves: a step per
    period, with a rest before leaving either end."""
    shown, direction, t, steps = 0, 1, 0.0, []
    while t < seconds:
        if shown in (0, slice_count - 1):
            direction = 1 if shown == 0 else -1
            t += END_REST_S
        t += 1 / steps_per_s
        shown += direction
        steps.append((t, shown))
    return steps


def read(steps, interval_s, jitter_s, seconds, rng):
    """(time, slice shown) at readings about interval_s apart."""
    readings, t, index, shown = [], 0.0, 0, 0
    while t < seconds:
        while index < len(steps) and steps[index][0] <= t:
            shown = steps[index][1]
            index += 1
        readings.append((t, shown))
        t += interval_s + rng.uniform(0, jitter_s)
    return readings


def counted(slice_count, readings):
    path = PlaybackPath(slice_count, readings[0][1])
    for (before, _), (now, shown) in zip(readings, readings[1:]):
        path.add(shown, now - before)
    return path


CASES = [
    # name, slices, steps per second, reading interval, jitter (s)
    ("long stack, readings every 0.1 s", 2000, 100, 0.1, 0.05),
    ("short stack, several turns a minute", 40, 90, 0.1, 0.3),
    ("readings slower than a step, never the same slice twice", 300, 100, 0.25, 0.2),
    ("slow playback, many readings per step", 25, 3, 0.1, 0.1),
]


def main():
    failures = 0
    rng = random.Random(11)
    for name, slice_count, rate, interval, jitter in CASES:
        seconds = 120
        steps = playback(slice_count, rate, seconds)
        readings = read(steps, interval, jitter, seconds, rng)
        seen = [shown for t, shown in steps if t <= readings[-1][0]]
        truth = len(seen)
        # A turn is an end slice left again; one still shown at the last reading is not yet.
        turns = sum(1 for shown in seen[:-1] if shown in (0, slice_count - 1))
        path = counted(slice_count, readings)
        if (path.steps, path.turns, path.unsure_gaps) != (truth, turns, 0):
            print(f"{name}: counted {path.steps} steps, {path.turns} turns, {path.unsure_gaps} unsure;"
                  f" played {truth} steps, {turns} turns")
            failures += 1

    # A turn between two readings, seen by the direction: 97 -> (98, 99, rest, 98, 97) -> 96.
    path = PlaybackPath(100, 95)
    path.add(97, 0.1)
    path.add(96, 0.6)
    if (path.steps, path.turns) != (2 + 5, 1):
        print(f"a turn between readings: counted {path.steps} steps, {path.turns} turns; played 7, 1")
        failures += 1

    # A reading that comes after the rest at the top is over: the count cannot see the turn.
    path = PlaybackPath(100, 90)
    path.add(95, 0.1)
    path.add(97, 0.6)  # 90 -> 95 -> (99, rest, back down to 97) looks like 95 -> 97
    if path.unsure_gaps != 1:
        print(f"a gap longer than the rest near an end was not reported ({path.unsure_gaps})")
        failures += 1
    print("soak_count: " + ("failed" if failures else "passed"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
