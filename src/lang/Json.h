// JSON text: writing reports and reading them back (zqtool's retry of a report's failures).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A JSON string: quotes, escapes, and project bytes that are not UTF-8 read as Windows-1252.
std::string JsonString(const std::string& text);

// One JSON object, its fields in the order they are added.
class JsonObject
{
public:
    JsonObject& Text(const char* name, const std::string& value) { return Raw(name, JsonString(value)); }
    JsonObject& Number(const char* name, int64_t value) { return Raw(name, std::to_string(value)); }
    JsonObject& Bool(const char* name, bool value) { return Raw(name, value ? "true" : "false"); }
    // Already JSON: an object, an array, a number or null.
    JsonObject& Raw(const char* name, const std::string& json);
    std::string Str() const { return "{" + m_fields + "}"; }

private:
    std::string m_fields;
};

// A JSON array of values that are JSON already.
std::string JsonArray(const std::vector<std::string>& items);

enum class JsonKind : uint8_t { Null, Bool, Number, String, Array, Object };

struct JsonValue
{
    JsonKind kind = JsonKind::Null;
    bool boolean = false;
    double number = 0;
    std::string text; // UTF-8
    // An array's values; an object's member values, their names in names at the same place.
    std::vector<JsonValue> items;
    std::vector<std::string> names;

    // The first member of that name; null when there is none or this is no object.
    const JsonValue* Find(const std::string& name) const;
};

// Nesting deeper than this is refused rather than followed.
constexpr size_t kMaxJsonDepth = 64;

// The whole text must be one value, blanks around it allowed. False with the offset and what was
// wrong there in error.
bool ParseJson(const std::string& text, JsonValue& value, std::string& error);
