// SPDX-License-Identifier: Apache-2.0
// Linux: inotify (through QFileSystemWatcher) on the folders where serial devices appear: /dev
// (ttyUSB0, ttyACM0 ...), /dev/serial/by-id (once a USB adapter has made it) and the folder of
// the published virtual ports.

#include "untPortWatchPlatform.h"

#include "untPublishedPorts.h"

#include <QFileInfo>
#include <QFileSystemWatcher>

struct TPortWatch::TPlatform::TState {
    QFileSystemWatcher watcher;
    std::function<void()> notify;

    // Folders that exist now and are not watched yet (by-id comes with the first adapter).
    void WatchFolders() {
        QStringList folders{QStringLiteral("/dev"), QStringLiteral("/dev/serial/by-id")};
        if (const auto published = PublishedPortsDir(true))
            folders << QString::fromStdString(*published);
        const QStringList watched = watcher.directories();
        for (const QString& folder : folders)
            if (!watched.contains(folder) && QFileInfo(folder).isDir())
                watcher.addPath(folder);
    }
};

TPortWatch::TPlatform::TPlatform(QObject* owner, std::function<void()> notify)
    : state_(std::make_unique<TState>()) {
    state_->notify = std::move(notify);
    TState* state = state_.get();
    QObject::connect(&state->watcher, &QFileSystemWatcher::directoryChanged, owner, [state] {
        state->WatchFolders();
        state->notify();
    });
}

TPortWatch::TPlatform::~TPlatform() = default;

void TPortWatch::TPlatform::Start() {
    state_->WatchFolders();
}
