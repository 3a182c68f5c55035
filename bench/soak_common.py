"""What the soak scripts share: the phantom dataset they run on when given none, and the verdict
on resident memory from the start of a run to its end."""
import os
import subprocess
import sys


def write_phantom(bin_dir, folder, slices, size, image_format="bmp"):
    """Writes an orvel-phantom dataset into folder: that many slices of size ("WxH") pixels.
    Returns the path of its first slice."""
    subprocess.run([os.path.join(bin_dir, "orvel-phantom"), folder, "--slices", str(slices), "--size", size,
                    "--format", image_format], check=True, stdout=subprocess.DEVNULL)
    return os.path.join(folder, "phantom0000." + image_format)


def mean(values):
    return sum(values) / len(values)


def memory_grew(what, start_kib, end_kib, largest_kib, growth_allowed):
    """Prints the start, end and largest figures of what (KiB); returns whether the end exceeds the
    start by more than the factor growth_allowed, saying so on standard error."""
    print(f"{what}, KiB: start {start_kib:.0f}, end {end_kib:.0f}, largest {largest_kib:.0f}")
    grew = end_kib > start_kib * growth_allowed
    if grew:
        print(f"resident memory grew by {end_kib - start_kib:.0f} KiB from the start to the end"
              f" (allowed: {(growth_allowed - 1) * 100:.0f} %)", file=sys.stderr)
    return grew
