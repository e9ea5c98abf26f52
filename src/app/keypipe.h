#pragma once

#include <QByteArray>
#include <QObject>

class QSocketNotifier;
class QWidget;

// Desktop and test aid, inactive unless NEWGUI_KEY_FIFO names a path: the GUI reads lines
// "press A", "release Left", "press Right", ... from that named pipe (made when missing) and
// hands them to the view as the key events of the tool's three keys. The simulator's "key"
// command writes them, so the demo and the end-to-end tests can operate the screens.
class KeyPipe : public QObject
{
    Q_OBJECT
public:
    explicit KeyPipe(QWidget* target);
    ~KeyPipe() override;

private:
    void readLines();

    QWidget* m_target;
    int m_fd = -1;
    QByteArray m_buffer;
    QSocketNotifier* m_notifier = nullptr;
};
