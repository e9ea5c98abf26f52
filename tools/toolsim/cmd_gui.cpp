// Commands that call the GUI's own interface.
#include "toolsim.h"

#include "cmdutil.h"
#include "devicefiles.h"


using namespace ToolSimUtil;

bool ToolSim::cmdPopup(const Args& a, const Done& done, QString* error)
{
    int timer = 0, waitForAck = 0;
    if (!needArgs(a, 2, 4, "popup HEADER TEXT [TIMER] [WAITFORACK]", error)
        || (a.positional.size() > 2 && !intArg(a.positional[2], "timer", &timer, error))
        || (a.positional.size() > 3 && !intArg(a.positional[3], "waitforack", &waitForAck, error)))
        return false;
    sendToGui(QStringLiteral("fpopupString"), { a.positional[0], a.positional[1], timer, waitForAck }, done);
    return true;
}

bool ToolSim::cmdClosePopup(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 0, 0, "closepopup", error) || !checkOptions(a, {}, error))
        return false;
    sendToGui(QStringLiteral("fclosepopupString"), {}, done);
    return true;
}

bool ToolSim::cmdJobMsg(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 2, 2, "jobmsg HEADER TEXT", error))
        return false;
    sendToGui(QStringLiteral("fjobdisplaymsg"), { a.positional[0], a.positional[1] }, done);
    return true;
}

bool ToolSim::cmdCloseJobMsg(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 0, 0, "closejobmsg", error) || !checkOptions(a, {}, error))
        return false;
    sendToGui(QStringLiteral("fclosejobdisplaymsg"), {}, done);
    return true;
}

bool ToolSim::cmdPrgnr(const Args& a, const Done& done, QString* error)
{
    int prg = 0;
    if (!needArgs(a, 1, 1, "prgnr N", error) || !checkOptions(a, {}, error) || !intArg(a.positional[0], "prgnr", &prg, error))
        return false;
    m_prgnr = prg;
    DeviceFiles::writeDiag(QStringLiteral("prgnr"), QString::number(prg));
    sendToGui(QStringLiteral("fupdateprgnr"), { prg }, done);
    return true;
}

bool ToolSim::cmdScanIcon(const Args& a, const Done& done, QString* error)
{
    int button = 0;
    if (!needArgs(a, 1, 1, "scanicon BUTTON", error) || !checkOptions(a, {}, error)
        || !intArg(a.positional[0], "button", &button, error))
        return false;
    sendToGui(QStringLiteral("fdisplayscanicon"), { button }, done);
    return true;
}

bool ToolSim::cmdHideScan(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 0, 0, "hidescan", error) || !checkOptions(a, {}, error))
        return false;
    sendToGui(QStringLiteral("fhidescanicon"), {}, done);
    return true;
}

bool ToolSim::cmdResetResult(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 0, 0, "resetresult", error) || !checkOptions(a, {}, error))
        return false;
    sendToGui(QStringLiteral("fresetresult"), {}, done);
    return true;
}

bool ToolSim::cmdTestMode(const Args& a, const Done& done, QString* error)
{
    bool on = false;
    if (!needArgs(a, 1, 1, "testmode 0|1", error) || !checkOptions(a, {}, error) || !flagArg(a.positional[0], &on, error))
        return false;
    sendToGui(QStringLiteral("ftestMode"), { on }, done);
    return true;
}

bool ToolSim::cmdTestText(const Args& a, const Done& done, QString* error)
{
    int field = 0, size = 0;
    if (!needArgs(a, 5, -1, "testtext FIELD COLOR BGCOLOR SIZE TEXT", error)
        || !intArg(a.positional[0], "field", &field, error) || !intArg(a.positional[3], "size", &size, error))
        return false;
    const QString text = a.positional.mid(4).join(QLatin1Char(' '));
    sendToGui(QStringLiteral("ftestModeText"), { field, a.positional[1], a.positional[2], size, text }, done);
    return true;
}

bool ToolSim::cmdTestProgress(const Args& a, const Done& done, QString* error)
{
    int progress = 0;
    if (!needArgs(a, 1, 1, "testprogress N", error) || !checkOptions(a, {}, error)
        || !intArg(a.positional[0], "progress", &progress, error))
        return false;
    sendToGui(QStringLiteral("ftestModeProgressBar"), { progress }, done);
    return true;
}

bool ToolSim::cmdOpMode(const Args& a, const Done& done, QString* error)
{
    int mode = 0, prgAllow = 0, jobAllow = 0;
    if (!needArgs(a, 3, 3, "opmode MODE PRGALLOW JOBALLOW", error) || !checkOptions(a, {}, error)
        || !intArg(a.positional[0], "mode", &mode, error) || !intArg(a.positional[1], "prgallow", &prgAllow, error)
        || !intArg(a.positional[2], "joballow", &jobAllow, error))
        return false;
    m_opMode = mode;
    m_prgAllow = prgAllow;
    m_jobAllow = jobAllow;
    DeviceFiles::writeDiag(QStringLiteral("operationmode"), QString::number(mode));
    DeviceFiles::writeDiag(QStringLiteral("gui/prgselection"), QString::number(prgAllow));
    DeviceFiles::writeDiag(QStringLiteral("gui/jobselection"), QString::number(jobAllow));
    sendToGui(QStringLiteral("fsetoperationmode"), { mode, prgAllow, jobAllow }, done);
    return true;
}

bool ToolSim::cmdOpModeEntry(const Args& a, const Done& done, QString* error)
{
    int active = 0;
    if (!needArgs(a, 2, 2, "opmodeentry NAME ACTIVE", error) || !intArg(a.positional[1], "active", &active, error))
        return false;
    sendToGui(QStringLiteral("fsetopmodemenuentry"), { a.positional[0], active }, done);
    return true;
}

bool ToolSim::cmdNokAck(const Args& a, const Done& done, QString* error)
{
    int prg = 0;
    if (!needArgs(a, 1, 1, "nokack PRG", error) || !checkOptions(a, {}, error) || !intArg(a.positional[0], "prg", &prg, error))
        return false;
    sendToGui(QStringLiteral("fshownokackpopup"), { prg }, done);
    return true;
}

bool ToolSim::cmdPruefSoftware(const Args& a, const Done& done, QString* error)
{
    bool on = false;
    if (!needArgs(a, 1, 1, "pruefsoftware 0|1", error) || !checkOptions(a, {}, error) || !flagArg(a.positional[0], &on, error))
        return false;
    sendToGui(QStringLiteral("fpruefsoftwarestarted"), { on }, done);
    return true;
}

bool ToolSim::cmdFcc(const Args& a, const Done& done, QString* error)
{
    bool on = false;
    if (!needArgs(a, 1, 1, "fcc 0|1", error) || !checkOptions(a, {}, error) || !flagArg(a.positional[0], &on, error))
        return false;
    DeviceFiles::writeDiag(QStringLiteral("tiwlan/fccmode"), on ? QStringLiteral("true") : QStringLiteral("false"));
    sendToGui(QStringLiteral("setFccTestMode"), { on }, done);
    return true;
}

bool ToolSim::cmdGetFcc(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 0, 0, "getfcc", error) || !checkOptions(a, {}, error))
        return false;
    callGui(QStringLiteral("getFccTestMode"), {}, [done](const QDBusMessage& reply) {
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            done(false, reply.errorMessage().isEmpty() ? QStringLiteral("no answer") : reply.errorMessage());
        else
            done(true, reply.arguments().first().toBool() ? QStringLiteral("true") : QStringLiteral("false"));
    });
    return true;
}

bool ToolSim::cmdNice(const Args& a, const Done& done, QString* error)
{
    int incr = 0;
    if (!needArgs(a, 1, 1, "nice N", error) || !checkOptions(a, {}, error) || !intArg(a.positional[0], "incr", &incr, error))
        return false;
    callGui(QStringLiteral("setNice"), { incr }, [done](const QDBusMessage& reply) {
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            done(false, reply.errorMessage().isEmpty() ? QStringLiteral("no answer") : reply.errorMessage());
        else
            done(true, QString::number(reply.arguments().first().toInt()));
    });
    return true;
}
