// SPDX-License-Identifier: Apache-2.0
#include "untPortWatch.h"

#include "untPortWatchPlatform.h"

TPortWatch::TPortWatch(QObject* parent) : QObject(parent) {
    settle_.setSingleShot(true);
    settle_.setInterval(SettleMs);
    connect(&settle_, &QTimer::timeout, this, &TPortWatch::Changed);
    platform_ = std::make_unique<TPlatform>(this, [this] { settle_.start(); });
}

TPortWatch::~TPortWatch() = default;

void TPortWatch::Start() {
    if (started_)
        return;
    started_ = true;
    platform_->Start();
}
