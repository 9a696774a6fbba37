// Reads a callgrind output file and sums the self cost (instructions) of every function that
// lives in one object, e.g. the bench executable with all of our code linked into it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct CallgrindCost {
    bool ok = false;
    std::string error;
    uint64_t objectSelf = 0;    // self cost of the functions in the object, first event (Ir)
    uint64_t excludedSelf = 0;  // self cost of the object's functions from excluded source files
    uint64_t allSelf = 0;       // self cost of every function; equals the file's totals when read right
    uint64_t totals = 0;        // the file's own "totals:" (or "summary:") line
};

// `objectName` matches an "ob=" entry whose path is that name or ends in "/" + name. Functions of
// the object defined in a source file ending in one of `excludedFiles` are left out (e.g. the
// bench's own allocator wrappers, which every library's allocation passes through).
CallgrindCost callgrindObjectCost(const std::string& text, const std::string& objectName,
                                  const std::vector<std::string>& excludedFiles = {});
CallgrindCost callgrindObjectCostOfFile(const std::string& path, const std::string& objectName,
                                        const std::vector<std::string>& excludedFiles = {});
