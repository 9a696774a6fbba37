// The sound layer's result texts: the fixed ones, the fallback for unknown codes, and the shape
// that every error line relies on.
#include "sound/sound_result.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

const int usedErrorCodes[] = {
    soundErrInvalidHandle, soundErrInvalidParam,       soundErrUninitialized,
    soundErrInitialized,   soundErrNoOutput,           soundErrOutputInit,
    soundErrOutput,        soundErrFileNotFound,       soundErrFileRead,
    soundErrFormat,        soundErrChannelAlloc,       soundErrMemory,
    soundErrUnsupported,   soundErrOutputCreateBuffer,
};

TEST(SoundErrorText, FixedTexts)
{
    EXPECT_STREQ(soundErrorText(0), "No errors.");
    EXPECT_STREQ(soundErrorText(58), "Error creating hardware sound buffer. ");
}

TEST(SoundErrorText, CodesOutsideTheLayerAreUnknown)
{
    for (int code : {-1, -58, 14, 57, 59, 97, 98, 1000, 2147483647, -2147483647 - 1}) {
        EXPECT_STREQ(soundErrorText(code), "Unknown error.") << code;
    }
}

TEST(SoundErrorText, EveryErrorHasItsOwnSentenceWithTrailingBlank)
{
    std::set<std::string> seen;
    for (int code : usedErrorCodes) {
        const std::string text = soundErrorText(code);
        EXPECT_NE(text, "Unknown error.") << code;
        EXPECT_NE(text, "No errors.") << code;
        ASSERT_GE(text.size(), 3u) << code;
        EXPECT_TRUE(std::isupper(static_cast<unsigned char>(text[0]))) << text;
        EXPECT_EQ(text.substr(text.size() - 2), ". ") << text;
        EXPECT_TRUE(seen.insert(text).second) << "text used twice: " << text;
    }
}

}  // namespace
