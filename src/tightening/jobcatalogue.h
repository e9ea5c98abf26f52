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

    // Rebuilds the table from job000.lua to job255.lua.
    void load();

    // {"slot": number (unsigned), "name": text} per job, ascending.
    QVariantList list() const;

    const QMap<int, QString>& table() const { return m_table; }

    // The name of a name line: the text between the first and the second "=" (or the
    // end of the line), unchanged. A line without "=" gives the empty text.
    static QString nameOf(const QString& line);

    static QString filePath(int number);

private:
    QMap<int, QString> m_table;
};
