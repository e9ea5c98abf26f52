// Commands around the operator's popups: the NOK road of a real tool and the ready flags
// that the acknowledgements move.
#include "toolsim.h"

#include "cmdutil.h"

using namespace ToolSimUtil;

// A NOK result followed by the tool's request for its acknowledgement, in the order the
// tool sends them: "newresult", then the GUI's "fshownokackpopup" with the program.
bool ToolSim::cmdNokResult(const Args& a, const Done& done, QString* error)
{
    Args result = a;
    result.positional = QStringList{ QStringLiteral("nok") } + a.positional;
    int prg = m_prgnr >= 0 ? m_prgnr : 0;
    if (!intOption(a, QStringLiteral("prg"), &prg, error))
        return false;
    QString id;
    const Done noted = [&id](bool ok, const QString& text) {
        if (ok)
            id = text;
    };
    if (!cmdResult(result, noted, error))
        return false;
    sendToGui(QStringLiteral("fshownokackpopup"), { prg }, [done, id](bool ok, const QString& text) {
        done(ok, ok ? QStringLiteral("result %1, %2").arg(id, text) : text);
    });
    return true;
}

// "ist 0xc3 soll 0xc3 gui 1 battery 1": the ready words and the GUI's and battery's flags.
bool ToolSim::cmdReadyFlags(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 0, 0, "readyflags", error) || !checkOptions(a, {}, error))
        return false;
    done(true, QStringLiteral("ist 0x%1 soll 0x%2 gui %3 battery %4")
                   .arg(m_ist, 0, 16)
                   .arg(m_soll, 0, 16)
                   .arg((m_ist >> 7) & 1)
                   .arg((m_ist >> 6) & 1));
    return true;
}
