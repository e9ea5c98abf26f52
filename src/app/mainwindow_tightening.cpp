// Host window: programs, results, jobs, torque units, program writer.
#include "mainwindow.h"

#include <QMutexLocker>
#include <QTimer>

#include "programwriter.h"

void MainWindow::loadPrgs()
{
    m_programs.loadAll();
    m_prgsLoaded = true;
}

namespace {
constexpr int PrgReloadStepMs = 4;
}

void MainWindow::reloadPrgsInSteps()
{
    // Steps of a few milliseconds, so that a reload of every program never holds the screen
    // for a frame; each step reads its files afresh, so changes in between are kept.
    const bool running = m_programs.loading();
    m_programs.beginLoad();
    m_prgsLoaded = true;
    if (running || m_programs.loadSome(PrgReloadStepMs))
        return;
    QTimer::singleShot(0, this, &MainWindow::continuePrgReload);
}

void MainWindow::continuePrgReload()
{
    QMutexLocker locker(&m_stateMutex);
    if (!m_programs.loadSome(PrgReloadStepMs))
        QTimer::singleShot(0, this, &MainWindow::continuePrgReload);
}

void MainWindow::syncPrgMapEntry(QString& fileName)
{
    m_programs.sync(fileName);
}

QVariantMap MainWindow::retrievePrgNumberName(QString& fileName)
{
    return ProgramCatalogue::readEntry(fileName);
}

QVariantList MainWindow::getPrgList()
{
    if (!m_prgsLoaded)
        loadPrgs();
    return m_programs.list();
}

QVariantMap MainWindow::getPrgNumberName(int slot)
{
    // Before the catalogue is read (the start screen's first frame), the one program asked for.
    if (!m_prgsLoaded && slot >= 0 && slot <= ProgramCatalogue::MaxProgram && !m_programs.contains(slot)) {
        QString fileName = QStringLiteral("prg%1.lua").arg(slot);
        m_programs.sync(fileName);
    }
    return m_programs.entry(slot);
}

void MainWindow::updatePrgnr(int prgnr, int fnr)
{
    callRoot("updatePrgnr", { ProgramCatalogue::shownNumber(prgnr) });
    // The key switch is only consulted when no program is loaded.
    const short adc = prgnr == ProgramCatalogue::NoProgram ? adcVal() : 0;
    callRoot("updateKeyPos", { ProgramCatalogue::keyPosition(prgnr, adc), fnr });
}

void MainWindow::fupdateprgnr(int prgnr)
{
    updatePrgnr(prgnr, -1);
}

void MainWindow::showResult(int id)
{
    QVariantMap map;
    if (m_results.read(id, map))
        callRoot("setResults", { QVariant(map) });
}

void MainWindow::newResult(QString db, int id)
{
    QMutexLocker locker(&m_stateMutex);
    if (db.size() > InputLimits::MaxPath)
        return;
    m_results.setDatabasePath(db);
    showResult(id);
    ResultReader::setResultShown();
}

void MainWindow::loadJobs()
{
    m_jobs.load();
    m_jobsLoaded = true;
}

QVariantList MainWindow::getJobList()
{
    if (!m_jobsLoaded)
        loadJobs();
    return m_jobs.list();
}

void MainWindow::readTorqueFactors()
{
    m_torqueUnits.read();
}

QString MainWindow::getTorqueUnitPres(int id)
{
    return m_torqueUnits.name(id);
}

QString MainWindow::getDefaultTorqueUnitPres()
{
    return m_torqueUnits.activeName();
}

void MainWindow::writeProgram(int slot, int speed, QString targetName, int targetValue)
{
    ProgramWriter::write(slot, speed, targetName, targetValue);
}
