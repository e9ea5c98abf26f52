#pragma once

#include <QThread>

// Restarts the WLAN driver with the platform's restart script, off the GUI thread. The exit
// code is the script's exit status; 7 when it was ended by a signal or no shell could run it.
// A script that has not ended within the time limit is killed together with every process it
// started (it leads a process group of its own), and ends with 7. With a system root set the
// script is the one inside it.
class RestartWlanThread : public QThread
{
    Q_OBJECT
public:
    static constexpr const char* Script = "/opt/ti-wireless/WL6.1.6.0.3/install.sh";
    static constexpr int Killed = 7;
    static constexpr int TimeLimitMs = 3 * 60 * 1000;

    explicit RestartWlanThread(QObject* parent = nullptr, int timeLimitMs = TimeLimitMs)
        : QThread(parent)
        , m_timeLimitMs(timeLimitMs)
    {
    }

    int exitCode() const { return m_exitCode; }

protected:
    void run() override;

private:
    int m_timeLimitMs;
    int m_exitCode = Killed;
};
