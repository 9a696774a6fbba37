// Callgrind's text format: name lines (ob=, fl=, fn= and the others, with "(id) name"
// compression), cost lines "positions events...", and call lines "calls=..." whose following cost
// line is the callee's inclusive cost, which is not self cost and so is skipped.
//
// callgrind_annotate cannot give this figure: it files the cost of code inlined from another
// source file (GLM, the C++ library's headers) under "header:function" with no object, which
// loses about a quarter of our code's instructions.
#include "callgrind_cost.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

namespace {

std::vector<std::string> splitSpaces(const std::string& line)
{
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

bool startsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

bool endsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// "(id) name" names a compressed id, "(id)" refers to it, "name" stands for itself.
std::string resolveName(const std::string& encoded, std::map<std::string, std::string>& names)
{
    const size_t close = encoded.find(')');
    if (encoded.empty() || encoded[0] != '(' || close == std::string::npos) {
        return encoded;
    }
    std::string& name = names[encoded.substr(0, close + 1)];
    const size_t start = encoded.find_first_not_of(' ', close + 1);
    if (start != std::string::npos) {
        name = encoded.substr(start);
    }
    return name;
}

}  // namespace

CallgrindCost callgrindObjectCost(const std::string& text, const std::string& objectName,
                                  const std::vector<std::string>& excludedFiles)
{
    CallgrindCost cost;
    // Compressed ids: cob= shares the ob= ids, and every file key (fi=, fe=, cfi=, cfl=) the fl= ids.
    std::map<std::string, std::string> objects;
    std::map<std::string, std::string> files;
    std::string object;
    std::string file;
    size_t irIndex = 0;  // among the events
    bool sawEvents = false;
    bool sawTotals = false;
    bool inObject = false;
    bool excluded = false;
    bool callCost = false;
    size_t positions = 1;

    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const char first = line.empty() ? ' ' : line[0];
        if ((first >= '0' && first <= '9') || first == '+' || first == '-' || first == '*') {
            const std::vector<std::string> words = splitSpaces(line);
            const size_t column = positions + irIndex;
            const uint64_t value =
                !callCost && column < words.size() ? strtoull(words[column].c_str(), nullptr, 10) : 0;
            cost.allSelf += value;
            if (inObject) {
                (excluded ? cost.excludedSelf : cost.objectSelf) += value;
            }
            callCost = false;
            continue;
        }
        callCost = startsWith(line, "calls=");
        const std::string name = line.substr(line.find('=') + 1);
        if (startsWith(line, "positions:")) {
            positions = splitSpaces(line.substr(10)).size();
        } else if (startsWith(line, "events:")) {
            const std::vector<std::string> events = splitSpaces(line.substr(7));
            sawEvents = true;
            for (size_t i = 0; i < events.size(); ++i) {
                irIndex = events[i] == "Ir" ? i : irIndex;
            }
        } else if (startsWith(line, "totals:") || (startsWith(line, "summary:") && !sawTotals)) {
            const std::vector<std::string> words = splitSpaces(line.substr(line.find(':') + 1));
            cost.totals = irIndex < words.size() ? strtoull(words[irIndex].c_str(), nullptr, 10) : 0;
            sawTotals = sawTotals || startsWith(line, "totals:");
        } else if (startsWith(line, "ob=")) {
            object = resolveName(name, objects);
        } else if (startsWith(line, "cob=")) {
            resolveName(name, objects);
        } else if (startsWith(line, "fl=")) {
            file = resolveName(name, files);
        } else if (startsWith(line, "fi=") || startsWith(line, "fe=") || startsWith(line, "cfi=") ||
                   startsWith(line, "cfl=")) {
            resolveName(name, files);
        } else if (startsWith(line, "fn=")) {
            inObject = object == objectName || endsWith(object, "/" + objectName);
            excluded = false;
            for (const std::string& excludedFile : excludedFiles) {
                excluded = excluded || endsWith(file, excludedFile);
            }
        }
    }
    if (!sawEvents) {
        cost.error = "no events line: not a callgrind output file";
        return cost;
    }
    if (cost.totals != 0 && cost.totals != cost.allSelf) {
        cost.error = "self costs add up to " + std::to_string(cost.allSelf) + " but the file's total is " +
                     std::to_string(cost.totals);
        return cost;
    }
    cost.ok = true;
    return cost;
}

CallgrindCost callgrindObjectCostOfFile(const std::string& path, const std::string& objectName,
                                        const std::vector<std::string>& excludedFiles)
{
    std::ifstream file(path);
    if (!file) {
        CallgrindCost cost;
        cost.error = "cannot read " + path;
        return cost;
    }
    std::stringstream text;
    text << file.rdbuf();
    return callgrindObjectCost(text.str(), objectName, excludedFiles);
}
