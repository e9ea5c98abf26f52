#include "inputlimits.h"

#include "systemlog.h"

namespace InputLimits {

QString cap(const QString& text, int max)
{
    if (text.size() <= max)
        return text;
    int cut = max;
    if (cut > 0 && text.at(cut - 1).isHighSurrogate())
        --cut;
    return text.left(cut);
}

bool NameTable::admit(const QString& name)
{
    if (m_names.contains(name))
        return true;
    if (name.size() > MaxName || m_names.size() >= MaxEntries) {
        // Logged once: a flood of names must not become a flood of log lines.
        if (!m_refusedLogged)
            SystemLog::warning(QStringLiteral("Name refused (too long or too many): ") + cap(name, MaxName));
        m_refusedLogged = true;
        return false;
    }
    m_names.insert(name);
    return true;
}

} // namespace InputLimits
