#pragma once

#include <QString>

class QFile;

// The GUI's two settings files, kept as whole JSON texts that the scene parses and
// writes back. The host never interprets the GUI configuration.
class SettingsFiles
{
public:
    QString cfg() const { return m_cfg; }
    QString wlan() const { return m_wlan; }

    // Store the text (the property value from now on) and save the file. When another
    // process holds the file's lock longer than SaveLockWaitMs the save stays pending.
    void setCfg(const QString& text);
    void setWlan(const QString& text);

    // Saves still pending because the file was locked; savePending() tries them again
    // without waiting and returns whether any is left.
    bool hasPendingSave() const { return m_cfgPending || m_wlanPending; }
    bool savePending();

    // Re-read the file; the text stays as it was when the file cannot be read, and while a
    // save of it is pending (the operator's change is kept and saved then).
    void loadCfg();
    void loadWlan();

    // How long a save waits on the calling (GUI) thread for another process's lock.
    static constexpr int SaveLockWaitMs = 500;

    enum SaveResult { Saved, Failed, Busy };

    // Replaces a shared settings file so that every reader sees the old or the whole new
    // content, also after a crash or with a full disk: the text goes into a synced
    // temporary file beside it ("<name>.new"), which is renamed over the file while the
    // old file is write-locked; then the folder is synced. Links are never followed, and
    // only a regular file is replaced. The new file is readable by its owner and the
    // tool's group only. Failures are logged; Busy (the lock was not granted within
    // SaveLockWaitMs) writes nothing and logs nothing.
    static SaveResult save(const QString& hostPath, const QString& text, int lockWaitMs = SaveLockWaitMs);

    // save() for a file named by `file` (the host path; not open), waiting as save() does;
    // a save that finds the file busy is logged as failed.
    static void writeQStringToFile(const QString& text, QFile& file);

    // Reads a shared text file under the read lock, cut at the first NUL byte, into out.
    // False (out untouched) when it cannot be opened or locked; *opened tells which.
    static bool readText(const QString& hostPath, QString& out, bool* opened = nullptr);

private:
    QString m_cfg;
    QString m_wlan;
    bool m_cfgPending = false;
    bool m_wlanPending = false;
};
