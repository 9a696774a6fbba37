// Sample format of everything the soundtrack renderer produces: 44.1 kHz, two channels.
#pragma once

constexpr int sampleRate = 44100;
constexpr double pi = 3.14159265358979323846;
