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

    // Store the text (the property value from now on) and rewrite the file.
    void setCfg(const QString& text);
    void setWlan(const QString& text);

    // Re-read the file; the text stays as it was when the file cannot be read. A file that
    // is empty or no JSON (a save cut short by a crash) is restored from its backup.
    void loadCfg();
    void loadWlan();

    // The safe whole-file rewrite of a shared file: write and sync the backup, open for
    // appending, lock, truncate, write, flush, sync, unlock. `file` names the (host) path
    // and is not open yet.
    static void writeQStringToFile(const QString& text, QFile& file);

    // Reads a shared text file under the read lock, cut at the first NUL byte, into out.
    // False (out untouched) when it cannot be opened or locked; *opened tells which.
    static bool readText(const QString& hostPath, QString& out, bool* opened = nullptr);

    // The copy of the last saved content beside a settings file ("guiconfig.json.bak").
    static QString backupPath(const QString& hostPath);

private:
    QString m_cfg;
    QString m_wlan;
};
