// SPDX-License-Identifier: Apache-2.0
#pragma once

// The application object and its general exception report: no exception ever crosses Qt's
// event loop. Every handler of the window runs through RunGuarded; TVylApplication::notify
// catches whatever still escapes an event handler.

#include "untFontWarmUp.h"

#include <QApplication>
#include <QString>

#include <exception>
#include <functional>
#include <memory>

// The application title: window caption prefix and the proposed settings file name.
inline const QString ApplicationTitle = QStringLiteral("VYL Setup");

// The desktop entry's name (without ".desktop") and the icon's name in the icon theme.
inline const QString DesktopId = QStringLiteral("io.github.vylsetup.VYLSetup");

// Uses Qt's own file dialogs everywhere (a desktop's platform theme would otherwise bring native
// ones that neither follow the window's language nor can be answered by the tests).
// The font configuration is read while the application object connects to the platform: its
// base TFontWarmUp is made before QApplication.
class TVylApplication : private TFontWarmUp, public QApplication {
public:
    TVylApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Gives every window the installed icon, looked up in the icon theme. On X the lookup, and
// drawing the icon for the window manager, took a fifth of the start: the main window calls
// this once it has been painted.
void ShowApplicationIcon();

// While it lives, SIGTERM, SIGHUP and SIGINT (on Windows: the session's end, WM_QUERYENDSESSION
// and WM_ENDSESSION) close the application's windows through the event loop, as the Exit button
// does: a device action in progress ends first and the port is closed
// properly, instead of the process dying with the port open. The previous handlers come back
// when it ends.
class TTerminationSignals {
public:
    TTerminationSignals();
    ~TTerminationSignals();
    TTerminationSignals(const TTerminationSignals&) = delete;
    TTerminationSignals& operator=(const TTerminationSignals&) = delete;

private:
    std::unique_ptr<QObject> watch_;
};

// The general exception report: shows the text in an error box. The program goes on.
void ReportException(const QString& text);

// Runs a handler; an exception it raises ends in ReportException.
void RunGuarded(const std::function<void()>& handler);
