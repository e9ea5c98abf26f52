#pragma once

class QMainWindow;
class QQuickWidget;

// Shows the host window the way the tool's display needs it: covering the whole screen with
// the keyboard focus in the scene from the first frame, on every platform the tool may use
// (X with or without a window manager, linuxfb, eglfs, vnc). NEWGUI_WINDOWED keeps a plain
// 240 x 320 desktop window.
void showOnDisplay(QMainWindow* window, QQuickWidget* view);
