// CLI11 set up the same way for every program, and the validators behind the shared options.
#include "command_line.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

bool readWholeNumber(const std::string& text, long low, long high, long& value)
{
    // Nine digits at most: every range here fits, and nothing overflows on the way.
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = std::strtol(text.c_str(), nullptr, 10);
    return value >= low && value <= high;
}

namespace {

bool readSize(const std::string& text, int& width, int& height)
{
    const std::string::size_type x = text.find('x');
    long w = 0;
    long h = 0;
    if (x == std::string::npos || !readWholeNumber(text.substr(0, x), minWindowSide, maxWindowSide, w) ||
        !readWholeNumber(text.substr(x + 1), minWindowSide, maxWindowSide, h)) {
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

}  // namespace

CommandLineResult parseCommandLine(CLI::App& app, int argc, const char* const* argv, std::string& message)
{
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        message = app.help();
        return CommandLineResult::help;
    } catch (const CLI::ParseError& error) {
        message = error.what();
        return CommandLineResult::bad;
    }
    return CommandLineResult::run;
}

int finishCommandLine(const char* program, CommandLineResult result, const std::string& message)
{
    if (result == CommandLineResult::help) {
        fputs(message.c_str(), stdout);
        return 0;
    }
    fprintf(stderr, "%s: %s\nrun %s --help for the options\n", program, message.c_str(), program);
    return 2;
}

CLI::Validator wholeNumber(long low, long high)
{
    const std::string range = "a whole number from " + std::to_string(low) + " to " + std::to_string(high);
    return CLI::Validator(
        [low, high, range](std::string& text) {
            long value = 0;
            if (!readWholeNumber(text, low, high, value)) {
                return "takes " + range + ", not " + text;
            }
            text = std::to_string(value);
            return std::string();
        },
        "");
}

CLI::Validator decimalNumber(double low, double high)
{
    return CLI::Validator(
        [low, high](std::string& text) {
            char* end = nullptr;
            const double value = std::strtod(text.c_str(), &end);
            if (text.empty() || *end != '\0' || !std::isfinite(value) || value < low || value > high) {
                char range[96];
                snprintf(range, sizeof range, "takes a number from %g to %g, not ", low, high);
                return range + text;
            }
            return std::string();
        },
        "");
}

CLI::Option* addSizeOption(CLI::App& app, int& width, int& height)
{
    const CLI::Validator size(
        [](std::string& text) {
            int w = 0;
            int h = 0;
            return readSize(text, w, h) ? std::string()
                                        : "takes WIDTHxHEIGHT, each from " + std::to_string(minWindowSide) +
                                              " to " + std::to_string(maxWindowSide) + ", not " + text;
        },
        "");
    return app
        .add_option_function<std::string>(
            "--size", [&width, &height](const std::string& text) { readSize(text, width, height); },
            "window size in pixels (default 1280x720)")
        ->check(size)
        ->type_name("WxH");
}
