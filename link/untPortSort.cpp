// SPDX-License-Identifier: Apache-2.0
#include "untPortList.h"

#include <QCollator>
#include <QLocale>
#include <QString>

#include <algorithm>

void SortPortNames(std::vector<std::string>& names) {
    // A collator loads the locale's collation rules (a tenth of a millisecond, more for
    // Chinese): none for a list that has nothing to order.
    if (names.size() < 2)
        return;
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    std::stable_sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        return collator.compare(QString::fromStdString(a), QString::fromStdString(b)) < 0;
    });
}
