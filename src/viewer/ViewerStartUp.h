#pragma once
// The program's choice of dataset before any window exists: from the command line, or from the
// open-file dialog when there is none.
#include <string>
#include <vector>

#include "app/Dataset.h"

namespace orvel::viewer {

// The single command line the program was designed to receive: the arguments after the program
// name joined with blanks, so that a path with blanks works quoted or not, and extra words make
// the whole line one path. The arguments are the bytes the program was given: file names need
// not be UTF-8, and a detour through text would lose the ones that are not.
std::string CommandLineOf(const std::vector<std::string>& arguments);

// The dataset named by the command line, or by the file the user picks in the open-file dialog
// when the line is empty. False when there is none to show: the user cancelled (no message), or
// the file is missing or not a dataset (the message has been shown).
bool ChooseDataset(const std::string& commandLine, Dataset& dataset);

}  // namespace orvel::viewer
