// The show's options on the shared command-line conventions: key presses and style names.
#include "show_options.h"

namespace {

bool readKeyPress(const std::string& text, KeyPress& press)
{
    const std::string::size_type colon = text.find(':');
    long ms = 0;
    if (colon == std::string::npos || text.size() != colon + 2 || text[colon + 1] < '0' || text[colon + 1] > '3' ||
        !readWholeNumber(text.substr(0, colon), 0, maxShowMs, ms)) {
        return false;
    }
    press = {static_cast<int>(ms), text[colon + 1]};
    return true;
}

}  // namespace

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
