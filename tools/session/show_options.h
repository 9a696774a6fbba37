// The command-line options that name things of the show, read the same in every tool: key
// presses at show times, the contour's drawing and the three styles.
#pragma once
#include "command_line.h"
#include "show_style.h"
#include "tool_session.h"

#include <string>
#include <vector>

// Show times up to an hour: far past the show's end (about 88 s), short of any overflow.
constexpr int maxShowMs = 3600 * 1000;

// --keys MS:KEY,... with KEY from 0 to 3.
CLI::Option* addKeysOption(CLI::App& app, std::vector<KeyPress>& keys);
// --quad-contours: the contour drawn as quads, as on a GL whose lines are too thin for it.
CLI::Option* addQuadContoursOption(CLI::App& app, bool& quadContours);
// --style toon|shadow|bump.
CLI::Option* addStyleOption(CLI::App& app, ShowStyle& style, const std::string& description);
