// SPDX-License-Identifier: Apache-2.0
#pragma once

// The published-port operations on an explicit folder. The public calls in
// untPublishedPorts.h pass the user's own folder; tests pass a folder of their own.

#include <optional>
#include <string>
#include <vector>

// `folder` when it is a safe place for published ports (created 0700 first when `create`):
// a real directory, not a symlink, owned by this user, with no group or other access.
std::optional<std::string> CheckPublishedPortsDir(const std::string& folder, bool create);

// Names published in `folder` whose publisher holds its lock and whose link leads to a
// character device. Empty when the folder is unsafe or unreadable.
std::vector<std::string> ListPublishedPortsIn(const std::string& folder);

// Where the published port `name` in `folder` leads, nullopt when it is not published.
std::optional<std::string> ResolvePublishedPortIn(const std::string& folder,
                                                  const std::string& name);
