// Callgrind's text format: name lines (ob=, fl=, fn=, with "(id) name" compression), cost lines
// "positions events...", and call lines "calls=..." whose following cost line is the callee's
// inclusive cost, which is not self cost and so is skipped.
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
    std::string word;
    while (in >> word) {
        words.push_back(word);
    }
    return words;
}

bool isCostLine(const std::string& line)
{
    if (line.empty()) {
        return false;
    }
    const char c = line[0];
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '*';
}

bool endsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool matchesObject(const std::string& path, const std::string& name)
{
    return path == name || endsWith(path, "/" + name);
}

// "(id) name", "(id)" or "name": the name, remembering or looking up compressed ids.
std::string resolveName(const std::string& encoded, std::map<std::string, std::string>& names)
{
    if (encoded.empty() || encoded[0] != '(') {
        return encoded;
    }
    const size_t close = encoded.find(')');
    if (close == std::string::npos) {
        return encoded;
    }
    const std::string id = encoded.substr(0, close + 1);
    if (close + 1 < encoded.size()) {
        std::string name = encoded.substr(close + 1);
        name.erase(0, name.find_first_not_of(' '));
        names[id] = name;
        return name;
    }
    return names[id];
}

uint64_t parseCount(const std::string& word)
{
    return strtoull(word.c_str(), nullptr, 10);
}

}  // namespace

CallgrindCost callgrindObjectCost(const std::string& text, const std::string& objectName,
                                  const std::vector<std::string>& excludedFiles)
{
    CallgrindCost cost;
    std::map<std::string, std::string> objectNames;
    std::map<std::string, std::string> fileNames;
    std::string currentFile;
    bool functionExcluded = false;
    size_t positionCount = 1;
    size_t eventIndex = 0;
    bool sawEvents = false;
    bool sawTotals = false;
    std::string currentObject;
    bool functionInObject = false;
    bool nextIsCallCost = false;

    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (isCostLine(line)) {
            if (nextIsCallCost) {
                nextIsCallCost = false;
                continue;
            }
            const std::vector<std::string> words = splitSpaces(line);
            const size_t column = positionCount + eventIndex;
            const uint64_t value = column < words.size() ? parseCount(words[column]) : 0;
            cost.allSelf += value;
            if (functionInObject) {
                (functionExcluded ? cost.excludedSelf : cost.objectSelf) += value;
            }
            continue;
        }
        nextIsCallCost = false;
        if (line.rfind("positions:", 0) == 0) {
            positionCount = splitSpaces(line.substr(10)).size();
        } else if (line.rfind("events:", 0) == 0) {
            const std::vector<std::string> events = splitSpaces(line.substr(7));
            sawEvents = true;
            eventIndex = 0;
            for (size_t i = 0; i < events.size(); ++i) {
                if (events[i] == "Ir") {
                    eventIndex = i;
                }
            }
        } else if (line.rfind("totals:", 0) == 0 || (line.rfind("summary:", 0) == 0 && !sawTotals)) {
            const std::vector<std::string> words = splitSpaces(line.substr(line.find(':') + 1));
            cost.totals = eventIndex < words.size() ? parseCount(words[eventIndex]) : 0;
            sawTotals = line.rfind("totals:", 0) == 0 || sawTotals;
        } else if (line.rfind("ob=", 0) == 0) {
            currentObject = resolveName(line.substr(3), objectNames);
        } else if (line.rfind("cob=", 0) == 0) {
            resolveName(line.substr(4), objectNames);  // shares the ob= id space
        } else if (line.rfind("fl=", 0) == 0) {
            currentFile = resolveName(line.substr(3), fileNames);
        } else if (line.rfind("fi=", 0) == 0 || line.rfind("fe=", 0) == 0 || line.rfind("cfi=", 0) == 0 ||
                   line.rfind("cfl=", 0) == 0) {
            resolveName(line.substr(line.find('=') + 1), fileNames);  // inlined or callee files share the ids
        } else if (line.rfind("fn=", 0) == 0) {
            functionInObject = matchesObject(currentObject, objectName);
            functionExcluded = false;
            for (const std::string& file : excludedFiles) {
                functionExcluded = functionExcluded || endsWith(currentFile, file);
            }
        } else if (line.rfind("calls=", 0) == 0) {
            nextIsCallCost = true;
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
