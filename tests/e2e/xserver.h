#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <functional>

class GuiRun;

// A real X server (Xvfb) without a window manager on a free display number, for the life of
// the object; it also ends when the test process dies. Screen grabs and key presses go
// through the X server itself, as a device's kiosk image would see them.
class XServer
{
public:
    explicit XServer(const QSize& screen);
    ~XServer();

    bool isRunning() const { return !m_display.isEmpty(); }
    QString display() const { return m_display; } // ":N"

    // Runs an X client (xdotool, xwininfo, import) against this server; true when it
    // succeeded, with its standard output in `out`.
    bool client(const QString& program, const QStringList& args, QByteArray* out = nullptr);
    // The whole screen as the X server holds it.
    QImage grab();
    // Grabs until pred holds (10 s at most); with `stable`, also until a grab equals the one
    // before it (header and popups slide). Returns the last grab.
    QImage grabUntil(const std::function<bool(const QImage&)>& pred, bool stable = false);
    // Starts the program of `run` on this server.
    bool startGui(GuiRun& run);
    // Presses the keys one after the other, with a pause for the scene after each.
    bool keys(const QStringList& keysyms);
    // Takes the input focus from every window (X's "None"): keys reach a window only once
    // it asks for the focus itself, whatever the pointer does.
    bool focusNowhere();
    // Press and release of a key through the XTEST extension ("a", "Left").
    bool key(const QString& keysym);
    // Geometries of the top-level windows of a program (by its window class).
    QList<QRect> windowsOf(const QString& windowClass);

private:
    QProcess m_server;
    QString m_display;
};
