// Sample format of everything the soundtrack renderer produces: 44.1 kHz, two channels.
#pragma once

constexpr int kSampleRate = 44100;
constexpr double kPi = 3.14159265358979323846;
