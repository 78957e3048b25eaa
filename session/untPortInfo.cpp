// SPDX-License-Identifier: Apache-2.0
#include "untPortInfo.h"

#include "untComm.h"
#include "untPortDetails.h"

bool ListPortInfo(std::vector<TPortInfo>& target) {
    std::vector<std::string> names;
    if (!ListComPorts(names))
        return false;
    target.clear();
    for (const std::string& name : names) {
        TPortDetails details = PortDetailsOf(name);
        target.push_back({std::move(details.Name), std::move(details.DevicePath),
                          std::move(details.StablePath), std::move(details.UsbId),
                          std::move(details.Manufacturer), std::move(details.Product),
                          details.Virtual});
    }
    return true;
}
