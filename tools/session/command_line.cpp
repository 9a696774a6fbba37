// CLI11 set up the same way for every tool, and the validators behind the shared options.
#include "command_line.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

bool readWhole(const std::string& text, long low, long high, long& value)
{
    // Nine digits at most: every range here fits, and nothing overflows on the way.
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = std::strtol(text.c_str(), nullptr, 10);
    return value >= low && value <= high;
}

bool readSize(const std::string& text, int& width, int& height)
{
    const std::string::size_type x = text.find('x');
    long w = 0;
    long h = 0;
    if (x == std::string::npos || !readWhole(text.substr(0, x), minWindowSide, maxWindowSide, w) ||
        !readWhole(text.substr(x + 1), minWindowSide, maxWindowSide, h)) {
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

bool readKeyPress(const std::string& text, KeyPress& press)
{
    const std::string::size_type colon = text.find(':');
    long ms = 0;
    if (colon == std::string::npos || text.size() != colon + 2 || text[colon + 1] < '0' || text[colon + 1] > '3' ||
        !readWhole(text.substr(0, colon), 0, maxShowMs, ms)) {
        return false;
    }
    press = {static_cast<int>(ms), text[colon + 1]};
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
            if (!readWhole(text, low, high, value)) {
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

CLI::Option* addKeysOption(CLI::App& app, std::vector<KeyPress>& keys)
{
    const CLI::Validator press(
        [](std::string& text) {
            KeyPress unused;
            return readKeyPress(text, unused) ? std::string()
                                              : "takes MS:KEY pairs with KEY from 0 to 3, not " + text;
        },
        "");
    return app
        .add_option_function<std::vector<std::string>>(
            "--keys",
            [&keys](const std::vector<std::string>& items) {
                for (const std::string& item : items) {
                    KeyPress keyPress;
                    readKeyPress(item, keyPress);
                    keys.push_back(keyPress);
                }
            },
            "show keys pressed at show times: 1 2 3 pick a style, 0 toggles the scripted camera")
        ->delimiter(',')
        ->check(press)
        ->type_name("MS:KEY[,...]");
}

CLI::Option* addQuadContoursOption(CLI::App& app, bool& quadContours)
{
    return app.add_flag("--quad-contours", quadContours,
                        "draw the contours as quads, as on a graphics driver that cannot draw wide lines");
}

CLI::Option* addStyleOption(CLI::App& app, ShowStyle& style, const std::string& description)
{
    // CLI11 reads an enum by its number: the name becomes that number here.
    const CLI::Validator named(
        [](std::string& text) {
            for (int i = 0; i < showStyleCount; ++i) {
                if (text == showStyleNames[i]) {
                    text = std::to_string(i);
                    return std::string();
                }
            }
            return "takes toon, shadow or bump, not " + text;
        },
        "");
    return app.add_option("--style", style, description)->transform(named)->type_name("toon|shadow|bump");
}
