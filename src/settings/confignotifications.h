#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>

// Merges the system service's "cfgfilechanged" notifications: notifications that ask for
// the same reload while one is pending cost that reload once. A reload is made once no new
// notification came for QuietMs, at the latest MaxDelayMs after the first pending one, so
// that a flood neither stalls the GUI nor postpones the reload for ever.
class ConfigNotifications : public QObject
{
    Q_OBJECT

public:
    static constexpr int QuietMs = 50;
    static constexpr int MaxDelayMs = 500;
    // More distinct program files than this pending are read as one reload of all programs.
    static constexpr int MaxProgramFiles = 16;

    explicit ConfigNotifications(QObject* parent = nullptr);

    // The reload a changed device path stands for, in the host's order of checks; empty
    // when the path asks for none.
    static QString reloadKey(const QString& devicePath);

public Q_SLOTS:
    void notify(const QString& devicePath);

Q_SIGNALS:
    // Once per pending reload, with the latest path that asked for it.
    void changed(const QString& devicePath);

private:
    void flush();

    QStringList m_order;              // keys, in the order they were first asked for
    QHash<QString, QString> m_latest; // key -> latest path
    int m_programFiles = 0;
    QTimer m_quiet;
    QElapsedTimer m_firstPending;
};
