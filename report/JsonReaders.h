// The JSON texts of the online services, on cJSON: owned trees, member readers
// with defaults, and the flat objects of string members that the reports send.
// Texts in and out are UTF-8. Plain text handling, no platform calls.
//
// Member names are matched without regard to case (cJSON_GetObjectItem);
// every answer the program reads relies on that ("ERRNO" is "errno").
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cJSON.h"

struct CJsonDeleter {
    void operator()(cJSON* tree) const noexcept { cJSON_Delete(tree); }
};
// Owner of a whole cJSON tree; frees it once, on every path.
using JsonTree = std::unique_ptr<cJSON, CJsonDeleter>;

// Parses `text` (which need not be zero-terminated); null for malformed or
// empty text. Text after the first complete value is ignored, as cJSON does.
JsonTree ParseJson(std::string_view text);

// The member's value when `object` is an object that has the member and it is
// a number, `defaultValue` otherwise (a null `object` included). Numbers are
// cut toward zero and held to the int range, as cJSON's valueint.
// Every reader of "errno" passes 1, so a missing "errno" counts as failure.
int JsonReadInt(const cJSON* object, const char* name, int defaultValue);

// The member's text when it exists and is a string, `defaultValue` otherwise:
// a number where a string is read (e.g. "status": 0) yields the default.
std::string JsonReadString(const cJSON* object, const char* name, const std::string& defaultValue);

// The member when it exists and is an object (to descend into "data"), else null.
const cJSON* JsonReadObject(const cJSON* object, const char* name);

// A new empty object; null only when memory runs out.
JsonTree NewJsonObject();
// Appends a string member (after those already added); false when `object` is
// null or memory runs out. cJSON keeps C strings: text after a zero byte is lost.
bool AddJsonString(cJSON* object, const char* name, const std::string& value);
// The tree printed without formatting (cJSON_PrintUnformatted); empty on failure.
std::string PrintJsonUnformatted(const cJSON* tree);

// One string member of a flat object, in the order the object lists it.
using JsonStringMember = std::pair<std::string, std::string>;
// {"name":"value",...} printed without formatting; empty on failure.
std::string BuildJsonStringObject(const std::vector<JsonStringMember>& members);
