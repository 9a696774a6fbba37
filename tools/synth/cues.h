// Moments of the show that the music is written to, in milliseconds from the music's start.
#pragma once

constexpr double kFirstFlightEndMs = 10191.0;  // the opening camera flight comes to rest
constexpr double kMarioFirstHopMs = 10519.0;
constexpr double kSecondFlightMs = 15800.0;   // camera flies on
constexpr double kCutToTowersMs = 21038.0;    // cut to a new view
constexpr double kShadowStyleMs = 29222.751;  // toon look gives way to shadows
constexpr double kLuigiFirstHopMs = 29375.0;
constexpr double kDiveMs = 35028.0;         // camera tilts down
constexpr double kCutToWalkMs = 40767.0;    // cut to a long glide
constexpr double kBumpStyleMs = 48428.143;  // bump mapping switches on
constexpr double kGoombasFirstHopMs = 48428.0;
constexpr double kRiseMs = 53796.0;  // the four joined segments of the climb
constexpr double kSwingMs = 58794.0;
constexpr double kCircleMs = 63683.0;
constexpr double kApproachMs = 68571.0;
constexpr double kHopSeriesMs = 73473.0;  // first hop of the series
constexpr double kHopSpacingMs = 100.0;   // one character after another
constexpr int kHopSeriesCount = 112;      // 28 rounds of four characters
constexpr double kHopLengthMs = 400.0;
constexpr double kLastHopEndMs = 84973.0;  // the last character lands
constexpr double kPieceEndMs = 88500.0;    // the final chord has rung out
