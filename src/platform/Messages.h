#pragma once
// The message layer: where the program's user-visible failures go. The viewer shows them in a
// modal message box, the command-line tool prints them to standard error, tests capture them.
#include <functional>
#include <string>

namespace orvel::platform {

using MessageSink = std::function<void(const std::string& text, const std::string& caption)>;

// Shows text with the given caption through the current sink (OK button only, no answer).
void ShowMessage(const std::string& text, const std::string& caption);

// Shows text with the application title as caption (file-format failures).
void ShowFileMessage(const std::string& text);

// Installs a sink and returns the previous one; an empty sink restores the standard-error sink.
MessageSink SetMessageSink(MessageSink sink);

// The application title: the executable's file name without extension.
std::string ApplicationTitle();
void SetApplicationTitle(const std::string& title);

}  // namespace orvel::platform
