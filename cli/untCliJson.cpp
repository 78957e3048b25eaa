// SPDX-License-Identifier: Apache-2.0
#include "untCliJson.h"

namespace {

std::string Dumped(const nlohmann::ordered_json& value) {
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

} // namespace

std::string JsonObjectLines(const std::vector<nlohmann::ordered_json>& objects) {
    if (objects.empty())
        return "[]\n";
    std::string text = "[";
    for (std::size_t i = 0; i < objects.size(); ++i) {
        text += i == 0 ? "\n    {" : ",\n    {";
        bool first = true;
        for (const auto& [key, value] : objects[i].items()) {
            text += (first ? "" : ", ") + Dumped(key) + ": " + Dumped(value);
            first = false;
        }
        text += "}";
    }
    return text + "\n]\n";
}
