#pragma once

#include <QMap>
#include <QSet>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

// The catalogue of tightening programs: one script file per program number in the
// program directory ("prg<n>.lua"); each entry holds "name", "slot" (decimal text) and
// "unit" (torque unit id as text).
class ProgramCatalogue
{
public:
    // The program-number source reports this when no program is loaded.
    static constexpr int NoProgram = -88;
    static constexpr int MaxProgram = 255;
    // Listed before every other program.
    static constexpr int FirstListed = 99;

    // Reads one program file (name relative to the program directory). "slot" is "--"
    // when the file does not exist; an unreadable file gives an empty name and unit "0".
    static QVariantMap readEntry(const QString& fileName);

    // Brings the entry of one file up to date: stored when the file exists, removed
    // when it is gone. Removing strips "prg" and ".lua" from fileName in place.
    void sync(QString& fileName);

    // Synchronises prg0.lua to prg255.lua; entries under other numbers stay.
    void loadAll();

    // The same in steps: beginLoad() starts over; each loadSome() then
    // synchronises programs in ascending order until `budgetMs` is spent and returns true once
    // all are done. Reading every file in step with its own change keeps each entry current.
    void beginLoad();
    bool loadSome(int budgetMs);
    bool loading() const { return m_next <= MaxProgram; }

    // 99 first, then 0 to 255 ascending; numbers outside 0 to 255 are never listed.
    QVariantList list() const;

    // The stored entry, or {"slot": slot (int), "name": "--"}.
    QVariantMap entry(int slot) const;

    bool contains(int slot) const { return m_table.contains(slot); }
    const QMap<int, QVariant>& table() const { return m_table; }

    // The key position pushed with the loaded program: the program number itself, or
    // for "no program" the key switch reading of adcVal() mapped to -1, 0 or -88.
    static int keyPosition(int prgnr, short adc);

    // The program number the scene shows: -1 for "no program".
    static int shownNumber(int prgnr) { return prgnr == NoProgram ? -1 : prgnr; }

    // Host path of a file in the program directory.
    static QString filePath(const QString& fileName);

private:
    QMap<int, QVariant> m_table;
    // The step loader: the next program number.
    int m_next = MaxProgram + 1;
};
