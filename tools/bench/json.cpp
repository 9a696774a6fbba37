// JSON writing with two-space indentation, one member per line, and a recursive-descent reader
// for the subset the writer produces plus the rest of the grammar (escapes, exponents, literals).
#include "json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Deep enough for any document the bench writes; a guard against runaway nesting in bad input.
constexpr int maxJsonDepth = 64;

void escapeInto(std::string& out, const std::string& value)
{
    out += '"';
    for (const char c : value) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buffer[8];
                snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
                out += buffer;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

void memberStart(JsonWriter& writer, const char* key)
{
    if (!writer.hasMember.empty()) {
        if (writer.hasMember.back()) {
            writer.out += ',';
        }
        writer.hasMember.back() = true;
        writer.out += '\n';
        writer.out.append(writer.hasMember.size() * 2, ' ');
    }
    if (key != nullptr) {
        escapeInto(writer.out, key);
        writer.out += ": ";
    }
}

void closeContainer(JsonWriter& writer, char close)
{
    const bool hadMembers = writer.hasMember.back();
    writer.hasMember.pop_back();
    if (hadMembers) {
        writer.out += '\n';
        writer.out.append(writer.hasMember.size() * 2, ' ');
    }
    writer.out += close;
    if (writer.hasMember.empty()) {
        writer.out += '\n';
    }
}

struct Reader {
    const std::string& text;
    size_t at = 0;
    std::string error;

    void skipSpace()
    {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\n' || text[at] == '\r' || text[at] == '\t')) {
            ++at;
        }
    }

    bool fail(const std::string& why)
    {
        if (error.empty()) {
            error = why + " at offset " + std::to_string(at);
        }
        return false;
    }

    bool literal(const char* word)
    {
        const std::string w = word;
        if (text.compare(at, w.size(), w) != 0) {
            return fail("unexpected text");
        }
        at += w.size();
        return true;
    }

    bool string(std::string& out)
    {
        if (at >= text.size() || text[at] != '"') {
            return fail("expected a string");
        }
        ++at;
        while (at < text.size() && text[at] != '"') {
            const char c = text[at++];
            if (static_cast<unsigned char>(c) < 0x20) {
                return fail("control character in string");
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at >= text.size()) {
                return fail("unfinished escape");
            }
            const char e = text[at++];
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                if (at + 4 > text.size()) {
                    return fail("short \\u escape");
                }
                unsigned code = 0;
                for (int i = 0; i < 4; ++i) {
                    const char h = text[at++];
                    code <<= 4;
                    if (h >= '0' && h <= '9') {
                        code |= static_cast<unsigned>(h - '0');
                    } else if (h >= 'a' && h <= 'f') {
                        code |= static_cast<unsigned>(h - 'a' + 10);
                    } else if (h >= 'A' && h <= 'F') {
                        code |= static_cast<unsigned>(h - 'A' + 10);
                    } else {
                        return fail("bad \\u escape");
                    }
                }
                // The bench writes only ASCII; other code points are kept as a marker.
                out += code < 0x80 ? static_cast<char>(code) : '?';
                break;
            }
            default: return fail("bad escape");
            }
        }
        if (at >= text.size()) {
            return fail("unterminated string");
        }
        ++at;
        return true;
    }

    bool number(double& out)
    {
        const size_t start = at;
        if (at < text.size() && text[at] == '-') {
            ++at;
        }
        if (at >= text.size() || !(text[at] >= '0' && text[at] <= '9')) {
            return fail("expected a value");
        }
        if (text[at] == '0') {
            ++at;
        } else {
            while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
                ++at;
            }
        }
        if (at < text.size() && text[at] == '.') {
            ++at;
            if (at >= text.size() || !(text[at] >= '0' && text[at] <= '9')) {
                return fail("digits expected after the point");
            }
            while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
                ++at;
            }
        }
        if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
            ++at;
            if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
                ++at;
            }
            if (at >= text.size() || !(text[at] >= '0' && text[at] <= '9')) {
                return fail("digits expected in the exponent");
            }
            while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
                ++at;
            }
        }
        out = strtod(text.substr(start, at - start).c_str(), nullptr);
        return true;
    }

    bool value(JsonValue& out, int depth)
    {
        if (depth > maxJsonDepth) {
            return fail("nested too deeply");
        }
        skipSpace();
        if (at >= text.size()) {
            return fail("unexpected end");
        }
        const char c = text[at];
        if (c == '{') {
            out.kind = JsonKind::object;
            ++at;
            skipSpace();
            if (at < text.size() && text[at] == '}') {
                ++at;
                return true;
            }
            for (;;) {
                skipSpace();
                std::string key;
                if (!string(key)) {
                    return false;
                }
                skipSpace();
                if (at >= text.size() || text[at] != ':') {
                    return fail("expected ':'");
                }
                ++at;
                JsonValue member;
                if (!value(member, depth + 1)) {
                    return false;
                }
                out.keys.push_back(key);
                out.values.push_back(member);
                skipSpace();
                if (at < text.size() && text[at] == ',') {
                    ++at;
                    continue;
                }
                if (at < text.size() && text[at] == '}') {
                    ++at;
                    return true;
                }
                return fail("expected ',' or '}'");
            }
        }
        if (c == '[') {
            out.kind = JsonKind::array;
            ++at;
            skipSpace();
            if (at < text.size() && text[at] == ']') {
                ++at;
                return true;
            }
            for (;;) {
                JsonValue item;
                if (!value(item, depth + 1)) {
                    return false;
                }
                out.values.push_back(item);
                skipSpace();
                if (at < text.size() && text[at] == ',') {
                    ++at;
                    continue;
                }
                if (at < text.size() && text[at] == ']') {
                    ++at;
                    return true;
                }
                return fail("expected ',' or ']'");
            }
        }
        if (c == '"') {
            out.kind = JsonKind::string;
            return string(out.text);
        }
        if (c == 't') {
            out.kind = JsonKind::boolean;
            out.boolean = true;
            return literal("true");
        }
        if (c == 'f') {
            out.kind = JsonKind::boolean;
            return literal("false");
        }
        if (c == 'n') {
            out.kind = JsonKind::null;
            return literal("null");
        }
        out.kind = JsonKind::number;
        return number(out.number);
    }
};

}  // namespace

void JsonWriter::beginObject(const char* key)
{
    memberStart(*this, key);
    out += '{';
    hasMember.push_back(false);
}

void JsonWriter::endObject()
{
    closeContainer(*this, '}');
}

void JsonWriter::beginArray(const char* key)
{
    memberStart(*this, key);
    out += '[';
    hasMember.push_back(false);
}

void JsonWriter::endArray()
{
    closeContainer(*this, ']');
}

void JsonWriter::number(const char* key, double value, int decimals)
{
    memberStart(*this, key);
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char buffer[64];
    snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    out += buffer;
}

void JsonWriter::integer(const char* key, long long value)
{
    memberStart(*this, key);
    out += std::to_string(value);
}

void JsonWriter::text(const char* key, const std::string& value)
{
    memberStart(*this, key);
    escapeInto(out, value);
}

void JsonWriter::boolean(const char* key, bool value)
{
    memberStart(*this, key);
    out += value ? "true" : "false";
}

bool parseJson(const std::string& text, JsonValue& value, std::string& error)
{
    Reader reader{text, 0, std::string()};
    value = JsonValue();
    if (!reader.value(value, 0)) {
        error = reader.error;
        return false;
    }
    reader.skipSpace();
    if (reader.at != text.size()) {
        error = "text after the document at offset " + std::to_string(reader.at);
        return false;
    }
    return true;
}

const JsonValue* jsonMember(const JsonValue& object, const std::string& key)
{
    if (object.kind != JsonKind::object) {
        return nullptr;
    }
    for (size_t i = 0; i < object.keys.size(); ++i) {
        if (object.keys[i] == key) {
            return &object.values[i];
        }
    }
    return nullptr;
}

const JsonValue* jsonPath(const JsonValue& root, const std::vector<std::string>& path)
{
    const JsonValue* at = &root;
    for (const std::string& key : path) {
        at = jsonMember(*at, key);
        if (at == nullptr) {
            return nullptr;
        }
    }
    return at;
}
