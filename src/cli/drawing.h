#pragma once
// The drawing side of Qt for the commands that write PDF files. korventa-cli shows no window:
// it draws off screen, so it needs no display, and it leaves Qt's own warnings out of its output.
#include <memory>

#include <QGuiApplication>

namespace korventa::cli {

// A QGuiApplication on the "offscreen" platform (unless QT_QPA_PLATFORM names another), or
// nullptr when one already exists. Keep it alive while drawing.
std::unique_ptr<QGuiApplication> drawingApplication();

}  // namespace korventa::cli
