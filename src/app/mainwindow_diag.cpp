// Diagnostic tree members of the host window.
#include "mainwindow.h"

#include <QMutexLocker>

QVariant MainWindow::getDiagProp(QString name, QString fallback)
{
    return QVariant(m_diag.getDiagProp(name, fallback));
}

QVariant MainWindow::getDiagProp(QString name)
{
    return QVariant(m_diag.getDiagProp(name));
}

short MainWindow::getPrgnr()
{
    return m_diag.getPrgnr();
}

int MainWindow::prgNumber()
{
    return getPrgnr();
}

QVariant MainWindow::getSysfault()
{
    return QVariant(m_diag.getSysfault());
}

void MainWindow::getSysfaultTwoInts(int& fclass, int& code)
{
    m_diag.getSysfaultTwoInts(fclass, code);
}

QVariant MainWindow::getBattPower()
{
    return QVariant(m_diag.getBattPower());
}

QVariant MainWindow::getBattStatus()
{
    return QVariant(m_diag.getBattStatus());
}

int MainWindow::getEnable()
{
    return m_diag.getEnable();
}

QVariant MainWindow::getCycle()
{
    return QVariant(m_diag.getCycle());
}

QVariant MainWindow::getIdCode()
{
    return QVariant(m_diag.getIdCode());
}

void MainWindow::getInitialIDcode()
{
    QMutexLocker locker(&m_stateMutex);
    const QString code = m_diag.getIdCode();
    if (!code.isEmpty())
        callRoot("newIdcode", { code });
}

bool MainWindow::getAllowManOp()
{
    return m_diag.getAllowManOp();
}

QVariant MainWindow::getOperationMode()
{
    return QVariant(m_diag.getOperationMode());
}

QVariant MainWindow::getJobSelect()
{
    return QVariant(m_diag.getJobSelect());
}

QVariant MainWindow::getPrgSelect()
{
    return QVariant(m_diag.getPrgSelect());
}

QVariant MainWindow::getInitOpenprotoSrvState()
{
    return QVariant(m_diag.getInitOpenprotoSrvState());
}

QVariant MainWindow::getInitXmlSrvState()
{
    return QVariant(m_diag.getInitXmlSrvState());
}

QVariant MainWindow::getInitResConStates()
{
    return m_diag.getInitResConStates();
}

QStringList MainWindow::getServices()
{
    return m_diag.getServices();
}

QString MainWindow::readSrvsFile(QString srvname)
{
    return m_diag.readSrvsFile(srvname);
}

void MainWindow::getDirFileNames(QString dir, QString pattern, QStringList& out)
{
    DiagTree::getDirFileNames(dir, pattern, out);
}

short MainWindow::adcVal()
{
    return m_diag.adcVal();
}

void MainWindow::fResServiceConChanged(QString serviceName, int connected)
{
    if (m_diag.updateConnectionState(serviceName, connected))
        callRoot("resServiceConChanged", { m_diag.connectionStates() });
}

void MainWindow::fResServiceDiagDataChanged(QString service)
{
    // The argument is a device path; it is only looked at, never opened.
    QString name;
    if (DiagTree::serviceFromPath(service, name))
        callRoot("resSerDiagDataChanged", { name });
}
