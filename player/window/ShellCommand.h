#pragma once
// A command line run by the system's command interpreter in a hidden console
// and waited for, the program's messages handled meanwhile.

#include <string>

// True when the command ended with exit code 0 within limitMs. A command
// still running then is ended, with every process it started.
bool RunShellCommand(const std::string& command, unsigned limitMs);
