// The bench's figures as JSON, and an earlier run's start-up figures read back from its JSON.
#pragma once
#include "bench_results.h"

#include <string>

// Every figure the table prints, rounded as the table rounds it; one document, ending in a newline.
std::string formatJson(const BenchResults& results);

// The "startup" object of an earlier run's JSON, e.g. the cold-cache run.
bool readStartupJson(const std::string& path, StartupTimes& startup, std::string& error);
