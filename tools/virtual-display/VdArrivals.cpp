// SPDX-License-Identifier: Apache-2.0
#include "VdArrivals.h"

void VdArrivals::AddBytes(ByteString bytes, unsigned hostSpeed, Clock::time_point at) {
    if (!bytes.empty())
        queue_.push_back(Arrival{at, std::nullopt, std::move(bytes), hostSpeed});
}

void VdArrivals::AddChange(VdHostWatch::Change change, Clock::time_point at) {
    queue_.push_back(Arrival{at, change, {}, 0});
}

std::optional<VdArrivals::Arrival> VdArrivals::TakeDue(Clock::time_point now) {
    if (queue_.empty() || queue_.front().At + lag_ > now)
        return std::nullopt;
    Arrival a = std::move(queue_.front());
    queue_.pop_front();
    return a;
}

std::optional<VdArrivals::Clock::time_point> VdArrivals::NextDue() const {
    if (queue_.empty())
        return std::nullopt;
    return queue_.front().At + lag_;
}
