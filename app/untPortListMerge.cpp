// SPDX-License-Identifier: Apache-2.0
#include "untPortListMerge.h"

#include <algorithm>

TPortListUpdate MergePortList(const std::vector<QString>& fresh, const QString& selected) {
    TPortListUpdate update;
    for (const QString& name : fresh)
        update.Entries.push_back({name, false});
    if (selected.isEmpty()) {
        update.Selected = fresh.empty() ? -1 : 0;
        return update;
    }
    const auto same = std::find(fresh.begin(), fresh.end(), selected);
    if (same != fresh.end()) {
        update.Selected = static_cast<int>(same - fresh.begin());
        return update;
    }
    // Where the port list's own order (the locale's, ignoring case) would have it.
    const auto after = std::find_if(fresh.begin(), fresh.end(), [&](const QString& name) {
        return QString::localeAwareCompare(name.toLower(), selected.toLower()) > 0;
    });
    const auto at = static_cast<std::size_t>(after - fresh.begin());
    update.Entries.insert(update.Entries.begin() + static_cast<std::ptrdiff_t>(at),
                          {selected, true});
    update.Selected = static_cast<int>(at);
    return update;
}
