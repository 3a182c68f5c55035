#pragma once
// Marks a function to be compiled with and without the processor's population count instruction,
// the variant chosen when the program is loaded. Under ThreadSanitizer the choice would run
// instrumented code before the sanitizer is set up, which crashes: there the portable variant
// alone is built.
#if defined(__SANITIZE_THREAD__)
#define ORVEL_POPCOUNT_CLONES
#else
#define ORVEL_POPCOUNT_CLONES __attribute__((target_clones("popcnt", "default")))
#endif
