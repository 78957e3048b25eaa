// SPDX-License-Identifier: Apache-2.0
#pragma once

// The port list as it follows plugging: the ports listed now, with the selected port kept even
// when it has gone (marked missing, its name unchanged, so that actions still name it).

#include <QString>

#include <vector>

struct TPortEntry {
    QString Name;
    bool Missing = false;
};

struct TPortListUpdate {
    std::vector<TPortEntry> Entries;
    int Selected = -1;
};

// `fresh`: the ports listed now, sorted; `selected`: the name selected so far (empty for none).
// The selection stays on its name; a selected port that has gone is kept where it sorts, marked
// missing; with nothing selected before, the first port listed is selected.
TPortListUpdate MergePortList(const std::vector<QString>& fresh, const QString& selected);
