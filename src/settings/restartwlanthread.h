#pragma once

#include <QThread>

// Restarts the WLAN driver with the platform's restart script, off the GUI thread. The exit
// code is the script's exit status; 7 when it was ended by a signal or no shell could run it.
// With a system root set the script is the one inside it.
class RestartWlanThread : public QThread
{
    Q_OBJECT
public:
    static constexpr const char* Script = "/opt/ti-wireless/WL6.1.6.0.3/install.sh";
    static constexpr int Killed = 7;

    using QThread::QThread;

    int exitCode() const { return m_exitCode; }

protected:
    void run() override;

private:
    int m_exitCode = Killed;
};
