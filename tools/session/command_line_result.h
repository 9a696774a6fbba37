// What reading a command line came to, and how a tool's main() ends on it. Apart from the
// parser's own header, so that the tools' option records and their users do not compile CLI11
// (seconds a file).
#pragma once
#include <string>

enum class CommandLineResult { run, help, bad };

// For main(): prints the usage (standard output) or the reason and where the usage is (standard
// error) and returns the exit status, 0 after --help and 2 for a bad command line.
int finishCommandLine(const char* program, CommandLineResult result, const std::string& message);
