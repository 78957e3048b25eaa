#pragma once

// The application object and its general exception report: no exception ever crosses Qt's
// event loop. Every handler of the window runs through RunGuarded; TVylApplication::notify
// catches whatever still escapes an event handler.

#include <QApplication>
#include <QString>

#include <exception>
#include <functional>

// The application title: window caption prefix and the proposed settings file name.
inline const QString ApplicationTitle = QStringLiteral("VYL Setup");

class TVylApplication : public QApplication {
public:
    TVylApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The general exception report: shows the text in an error box. The program goes on.
void ReportException(const QString& text);

// Runs a handler; an exception it raises ends in ReportException.
void RunGuarded(const std::function<void()>& handler);
