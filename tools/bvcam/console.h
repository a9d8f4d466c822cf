// The console the tool runs in: whether its streams are terminals, and a
// yes/no question for destructive commands.
#pragma once

#include <string>

// True when standard output (or input) is a console rather than a file or
// pipe; progress bars and questions need one.
bool outputIsTerminal();
bool inputIsTerminal();

// Columns of the console window standard output shows; 80 when it is not
// a console.
int outputWidth();

// Prints question with " [y/N] " and reads one line from standard input;
// true only for an answer starting with y or Y.
bool askYesNo(const std::string& question);
