#pragma once

#include <QImage>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// The real program offscreen against the simulator on the test's private bus, with a sample
// system root. Grabs of the view come from the program itself (SIGUSR1).
class GuiRun
{
public:
    GuiRun();
    ~GuiRun(); // shows the end of the GUI's log when the current test failed

    // Fills the system root with the sample device; `prepare` may change files before the GUI starts.
    bool startSimulator();
    // Environment of the GUI beyond the offscreen defaults (another platform, its display).
    void setGuiEnvironment(const QString& name, const QString& value) { m_guiEnv.insert(name, value); }
    // Returns once the GUI has finished its start-up.
    bool startGui();
    void stop();

    QString sysroot() const { return m_work.path() + QStringLiteral("/root"); }
    // Host path of a device path.
    QString path(const QString& devicePath) const { return sysroot() + devicePath; }

    // One simulator command ("result", "nok", "qcode=0x18"); returns the reply, or a null string on error.
    QString ctl(const QStringList& args);
    QStringList calls();
    // The display's (user 4) activity entries since `since` (seconds since the epoch), as "code value1".
    QStringList displayActivities(qint64 since = 0) const;
    // Clicks the display's keys ("A", "Left", "Right") one after the other.
    bool keys(const QStringList& names);
    QString keyPipe() const { return m_work.path() + QStringLiteral("/keys.fifo"); }

    QImage grab();
    // Grabs until pred holds for a grab (the scene animates and blinks); returns the last grab.
    QImage grabUntil(const std::function<bool(const QImage&)>& pred, int timeoutMs = 5000);
    QString guiLog() const;

private:
    QTemporaryDir m_work; // logs, screenshots and the system root "root"
    QProcess m_sim;
    QProcess m_gui;
    QProcessEnvironment m_guiEnv;
};
