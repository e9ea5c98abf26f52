#pragma once

#include <QSet>
#include <QString>

// Bounds on what other processes can make this process keep or draw. Any local process
// may send texts over the bus or write the files the GUI reads; a 10 MB name must neither
// stall the scene nor stay in memory, and a stream of new names must not grow a table
// without end.
namespace InputLimits {

inline constexpr int MaxName = 64;    // service, menu-entry and program names
inline constexpr int MaxCode = 256;   // identification codes
inline constexpr int MaxText = 2048;  // popup, job-display and test-view texts
inline constexpr int MaxPath = 4096;  // paths (PATH_MAX)
inline constexpr int MaxEntries = 32; // names kept per table

// The text cut to at most max characters (never inside a surrogate pair).
QString cap(const QString& text, int max);

// The names a table has taken in: a known name always passes, a new one only while fewer
// than MaxEntries are known and when it is not longer than MaxName.
class NameTable
{
public:
    bool admit(const QString& name);
    int size() const { return int(m_names.size()); }

private:
    QSet<QString> m_names;
    bool m_refusedLogged = false;
};

} // namespace InputLimits
