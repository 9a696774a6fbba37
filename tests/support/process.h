// Runs a program as a child process and collects its output and exit status, for tests of the
// demo's console lines and exit paths.
#pragma once
#include <string>
#include <vector>

struct ProcessResult {
    int exitStatus = -1;  // 0..255, or -1 when it did not exit normally
    int signal = 0;       // the signal that ended it, if any
    bool timedOut = false;
    std::string out;
    std::string err;
};

struct ProcessOptions {
    std::string workingDirectory;
    std::vector<std::string> setEnv;    // "NAME=value"
    std::vector<std::string> unsetEnv;  // "NAME"
    double timeoutSeconds = 60.0;
};

ProcessResult runProcess(const std::vector<std::string>& argv, const ProcessOptions& options);

// The command line that runs `command` (a demo program, or one under Wine) under its own X server,
// presses Escape once the frame loop runs and ends with the program's status and output
// (tests/support/run-until-escape, which also takes a screenshot and the window's geometry on
// request).
std::vector<std::string> untilEscape(const std::vector<std::string>& command);
// The options with the X server of untilEscape() set to `screen` ("1920x1200x24").
ProcessOptions onScreen(ProcessOptions options, const std::string& screen);

// A fresh empty directory under the system's temporary folder.
std::string makeTempDir(const std::string& prefix);

// Copies a directory tree (cp -a semantics).
bool copyTree(const std::string& from, const std::string& to);

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
// A program's output as lines, without the CR that the Windows C runtime puts before each LF.
std::vector<std::string> outputLines(const std::string& text);
