// SPDX-License-Identifier: Apache-2.0
#pragma once

// vylctl's JSON data: an array of flat objects, one object per line, members in the order
// given ("[\n    {\"name\": \"ttyUSB0\", \"virtual\": false},\n    ...\n]\n"; "[]\n" when
// empty). The values are written by the JSON library.

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

std::string JsonObjectLines(const std::vector<nlohmann::ordered_json>& objects);
