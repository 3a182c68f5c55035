#pragma once
// What the TIFF and PNG libraries warn about goes to the message sink, never to standard error.
// Most warnings are about tags and chunks of no consequence (another program's private tags, a
// colour profile) and recur on every slice of a stack, so each distinct text is shown once per
// run: a stack plays without a message box for every slice.
#include <string>

namespace orvel {

// Shows "library: text" with the application title as caption, unless it was shown before.
void ShowLibraryWarning(const std::string& library, const std::string& text);

}  // namespace orvel
