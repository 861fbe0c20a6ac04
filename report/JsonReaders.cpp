#include "report/JsonReaders.h"

#include <climits>

JsonTree ParseJson(std::string_view text)
{
    if (text.empty()) return nullptr;
    // A zero-terminated copy: cJSON then never has to look past the buffer.
    const std::string copy(text);
    return JsonTree(cJSON_ParseWithLength(copy.c_str(), copy.size()));
}

namespace {

// The named member of an object, or null (a non-object holds no members,
// even though cJSON would search an array's unnamed children).
const cJSON* Member(const cJSON* object, const char* name)
{
    if (!cJSON_IsObject(object) || name == nullptr) return nullptr;
    return cJSON_GetObjectItem(object, name);
}

}  // namespace

int JsonReadInt(const cJSON* object, const char* name, int defaultValue)
{
    const cJSON* item = Member(object, name);
    if (!cJSON_IsNumber(item)) return defaultValue;
    const double value = item->valuedouble;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}

std::string JsonReadString(const cJSON* object, const char* name, const std::string& defaultValue)
{
    const cJSON* item = Member(object, name);
    if (!cJSON_IsString(item) || item->valuestring == nullptr) return defaultValue;
    return item->valuestring;
}

const cJSON* JsonReadObject(const cJSON* object, const char* name)
{
    const cJSON* item = Member(object, name);
    return cJSON_IsObject(item) ? item : nullptr;
}

JsonTree NewJsonObject() { return JsonTree(cJSON_CreateObject()); }

bool AddJsonString(cJSON* object, const char* name, const std::string& value)
{
    if (object == nullptr || name == nullptr) return false;
    return cJSON_AddStringToObject(object, name, value.c_str()) != nullptr;
}

std::string PrintJsonUnformatted(const cJSON* tree)
{
    if (tree == nullptr) return std::string();
    char* printed = cJSON_PrintUnformatted(tree);
    if (printed == nullptr) return std::string();
    std::string text(printed);
    cJSON_free(printed);
    return text;
}

std::string BuildJsonStringObject(const std::vector<JsonStringMember>& members)
{
    JsonTree object = NewJsonObject();
    if (!object) return std::string();
    for (const auto& [name, value] : members) {
        if (!AddJsonString(object.get(), name.c_str(), value)) return std::string();
    }
    return PrintJsonUnformatted(object.get());
}
