// Moments of the show that the music is written to, in milliseconds from the music's start.
#pragma once

constexpr double firstFlightEndMs = 10191.0;  // the opening camera flight comes to rest
constexpr double marioFirstHopMs = 10519.0;
constexpr double secondFlightMs = 15800.0;   // camera flies on
constexpr double cutToTowersMs = 21038.0;    // cut to a new view
constexpr double shadowStyleMs = 29222.751;  // toon look gives way to shadows
constexpr double luigiFirstHopMs = 29375.0;
constexpr double diveMs = 35028.0;         // camera tilts down
constexpr double cutToWalkMs = 40767.0;    // cut to a long glide
constexpr double bumpStyleMs = 48428.143;  // bump mapping switches on
constexpr double goombasFirstHopMs = 48428.0;
constexpr double riseMs = 53796.0;  // the four joined segments of the climb
constexpr double swingMs = 58794.0;
constexpr double circleMs = 63683.0;
constexpr double approachMs = 68571.0;
constexpr double hopSeriesMs = 73473.0;  // first hop of the series
constexpr double hopSpacingMs = 100.0;   // one character after another
constexpr int hopSeriesCount = 112;      // 28 rounds of four characters
constexpr double hopLengthMs = 400.0;
constexpr double lastHopEndMs = 84973.0;  // the last character lands
constexpr double pieceEndMs = 88500.0;    // the final chord has rung out
