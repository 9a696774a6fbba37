// The tools' command lines on CLI11: the same help, the same errors and exit statuses, and the
// options that mean the same in every program that takes one. Nothing of the show here, so that
// the launcher can link it without the engine; the show's own options are in show_options.h.
#pragma once
#include "command_line_result.h"

#include <CLI/CLI.hpp>

#include <string>

// Window sides from 64 to 8192 pixels, in every tool: below 64 a picture shows nothing of the
// stage, above 8192 a framebuffer exceeds what GL drivers commonly allow, and the largest display
// the demo is built for is 1920 wide.
constexpr int minWindowSide = 64;
constexpr int maxWindowSide = 8192;

// Reads argv into the options added to `app`. help: `message` holds the usage; bad: it says what
// is wrong. A tool's own checks across options come after a `run`.
CommandLineResult parseCommandLine(CLI::App& app, int argc, const char* const* argv, std::string& message);

// `text` as a whole number in decimal, digits only, from `low` to `high`.
bool readWholeNumber(const std::string& text, long low, long high, long& value);
// A whole number in decimal (CLI11 alone would read "010" as octal) from `low` to `high`.
CLI::Validator wholeNumber(long low, long high);
// A finite decimal number from `low` to `high`.
CLI::Validator decimalNumber(double low, double high);

// --size WxH, with the one rule for window sides above.
CLI::Option* addSizeOption(CLI::App& app, int& width, int& height);
