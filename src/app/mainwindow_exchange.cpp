// The host window's members of the configuration exchange: export and import through the
// firmware's scripts, the archive password, and the memory card's pictures.
#include "mainwindow.h"

#include <QDateTime>

#include "fwversion.h"

void MainWindow::initExchange()
{
    connect(&m_exchange, &ConfigExchange::exportFinished, this, &MainWindow::exportFinished);
    connect(&m_exchange, &ConfigExchange::importFinished, this, &MainWindow::importFinished);
    // The scene has shown "Rebooting" by now; only a successful import restarts the tool.
    connect(&m_exchange, &ConfigExchange::importSucceeded, this, &MainWindow::reboot);
}

void MainWindow::exportConfiguration()
{
    const QString version = getEtcVersion();
    m_exchange.exportConfiguration(generatePassword(version),
                                   ConfigExchange::archiveName(version, QDateTime::currentDateTime()));
}

void MainWindow::importConfiguration()
{
    m_exchange.importConfiguration(generatePassword(getEtcVersion()));
}

QString MainWindow::generatePassword(QString version)
{
    return ConfigExchange::passwordFor(FwVersion(version).osName());
}

QStringList MainWindow::getSdPaths()
{
    return ConfigExchange::getSdPaths();
}

QStringList MainWindow::extractPaths(QStringList names)
{
    return ConfigExchange::extractPaths(names);
}

QStringList MainWindow::getPictures()
{
    return ConfigExchange::getPictures();
}
