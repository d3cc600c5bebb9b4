#pragma once
// The one QApplication of a benchmark that compares with Qt widgets, on the offscreen
// platform unless QT_QPA_PLATFORM says otherwise.

#include <cstdlib>

#include <QApplication>

inline QApplication *QtApp()
{
    static int argc = 1;
    static char name[] = "bench";
    static char *argv[] = {name, nullptr};
    static QApplication *app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    return app;
}
