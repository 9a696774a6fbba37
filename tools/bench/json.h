// A small JSON writer for the bench's figures, and a reader for reading them back (an earlier
// run's start-up record, and the tests).
#pragma once
#include <string>
#include <vector>

struct JsonWriter {
    std::string out;
    std::vector<bool> hasMember;  // per open object or array: whether a comma is due

    void beginObject(const char* key = nullptr);
    void endObject();
    void beginArray(const char* key);
    void endArray();
    // Written with `decimals` places (the same rounding the table prints); non-finite as null.
    void number(const char* key, double value, int decimals = 2);
    void integer(const char* key, long long value);
    void text(const char* key, const std::string& value);
    void boolean(const char* key, bool value);
};

enum class JsonKind { null, boolean, number, string, array, object };

struct JsonValue {
    JsonKind kind = JsonKind::null;
    bool boolean = false;
    double number = 0.0;
    std::string text;
    std::vector<std::string> keys;  // object member names, parallel to values
    std::vector<JsonValue> values;  // object members or array items
};

// Parses a whole document; false with a reason (and the offset) when it is not valid JSON.
bool parseJson(const std::string& text, JsonValue& value, std::string& error);

// The member called `key` of an object, or null.
const JsonValue* jsonMember(const JsonValue& object, const std::string& key);
// Follows a path of member names, e.g. {"frames", "whole_show", "median_ms"}; null if absent.
const JsonValue* jsonPath(const JsonValue& root, const std::vector<std::string>& path);
