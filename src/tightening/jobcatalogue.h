#pragma once

#include <QMap>
#include <QString>
#include <QVariantList>

// The catalogue of jobs: "job%03d.lua" files in the job directory, of which only the
// name line (the first line holding "jobName") is read.
class JobCatalogue
{
public:
    static constexpr int MaxJob = 255;

    // Rebuilds the table from job000.lua to job255.lua, from one listing of the directory.
    void load();

    // Brings the entry of one job up to date from its file alone: stored when the file has a
    // name line, removed otherwise.
    void reload(int number);

    // The job number of a changed path that names one job file ("<job dir>/job007.lua"),
    // or -1 for any other path.
    static int numberOfFile(const QString& devicePath);

    // {"slot": number (unsigned), "name": text} per job, ascending.
    QVariantList list() const;

    const QMap<int, QString>& table() const { return m_table; }

    // The name of a name line: the text between the first and the second "=" (or the
    // end of the line), unchanged. A line without "=" gives the empty text.
    static QString nameOf(const QString& line);

    static QString filePath(int number);

private:
    // Reads the name line of one job file; false when it has none or cannot be read.
    static bool readName(const QString& path, QString& name);

    QMap<int, QString> m_table;
};
