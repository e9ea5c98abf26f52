// The program and job catalogues with 256 programs and 256 jobs, beside the same with one of
// each, measured in this run: the start-up read of both folders, a changed job file, and the
// program importer's reload, for which the longest time the GUI thread is held counts (the
// screen cannot change while it is held).
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "mainwindow.h"
#include "testsupport.h"

namespace {

struct Figures {
    double load = 0;      // loadPrgs + loadJobs
    double jobChange = 0; // a notification for one changed job file
    double importMax = 0; // the longest hold of the GUI thread during the importer's reload
    double importAll = 0; // the whole reload
};

const QString PrgDir = QStringLiteral("/home/tool/config/srbprg/");
const QString JobDir = QStringLiteral("/home/tool/config/jobs/");

void writePrograms(const TempSysroot& root, int count, const char* tag)
{
    for (int n = 0; n < count; ++n)
        root.write(PrgDir + QStringLiteral("prg%1.lua").arg(n),
            QStringLiteral("-- program\nprg.Name = \"%1 %2\"\nprg.Speed = 300\nprg.TorqueUnit = 1\n").arg(QLatin1String(tag)).arg(n).toUtf8());
}

// Processor time of the calling thread: what the work costs, whatever else runs on the machine.
double threadCpuMs()
{
    timespec ts {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

Figures measure(MainWindow& w, const TempSysroot& root, int count, int rounds)
{
    std::vector<double> load, job, importMax, importAll;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        const double cpu = threadCpuMs();
        w.loadPrgs();
        w.loadJobs();
        load.push_back(threadCpuMs() - cpu);

        const QString jobFile = JobDir + QStringLiteral("job%1.lua").arg(count - 1, 3, 10, QLatin1Char('0'));
        root.write(jobFile, QStringLiteral("jobName=Changed %1\n").arg(r).toUtf8());
        t.start();
        QMetaObject::invokeMethod(&w, "newConfig", Q_ARG(QString, jobFile));
        job.push_back(t.nsecsElapsed() / 1e6);

        // The importer wrote new files: wait until the last one is in the list, and time
        // every turn of the event loop in between.
        const QString tag = QStringLiteral("R%1").arg(r);
        writePrograms(root, count, qPrintable(tag));
        const QString last = QStringLiteral("%1 %2").arg(tag).arg(count - 1);
        double longest = 0;
        QElapsedTimer all;
        all.start();
        t.start();
        QMetaObject::invokeMethod(&w, "newConfig", Q_ARG(QString, QStringLiteral("/home/tool/config/prg_importer")));
        longest = t.nsecsElapsed() / 1e6;
        QEventLoop loop;
        QTimer tick;
        tick.setInterval(0);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longest = std::max(longest, t.nsecsElapsed() / 1e6);
            t.start();
            if (w.getPrgNumberName(count - 1).value(QStringLiteral("name")).toString() == last)
                loop.quit();
        });
        tick.start();
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        importMax.push_back(longest);
        importAll.push_back(all.nsecsElapsed() / 1e6);
    }
    return { median(load), median(job), median(importMax), median(importAll) };
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QUICK_BACKEND", "software");
    const int rounds = argc > 1 ? atoi(argv[1]) : 15;
    QApplication app(argc, argv);

    TempSysroot big;
    Figures many, one;
    {
        writePrograms(big, 256, "P");
        for (int n = 0; n < 256; ++n)
            big.write(JobDir + QStringLiteral("job%1.lua").arg(n, 3, 10, QLatin1Char('0')), QStringLiteral("-- job\njobName=Job %1\n").arg(n).toUtf8());
        MainWindow w;
        many = measure(w, big, 256, rounds);
    }
    // The same among other files: 2,048 in each folder in all.
    Figures crowded;
    {
        TempSysroot root;
        writePrograms(root, 256, "P");
        for (int n = 0; n < 256; ++n)
            root.write(JobDir + QStringLiteral("job%1.lua").arg(n, 3, 10, QLatin1Char('0')), QStringLiteral("-- job\njobName=Job %1\n").arg(n).toUtf8());
        for (int n = 0; n < 2048 - 256; ++n) {
            root.write(PrgDir + QStringLiteral("prg%1.lua.bak").arg(n), "-- copy\n");
            root.write(JobDir + QStringLiteral("old%1.lua").arg(n), "-- copy\n");
        }
        MainWindow w;
        crowded = measure(w, root, 256, rounds);
    }
    {
        TempSysroot small;
        writePrograms(small, 1, "P");
        small.write(JobDir + QStringLiteral("job000.lua"), "-- job\njobName=Job 0\n");
        MainWindow w;
        one = measure(w, small, 1, rounds);
    }
    std::printf("256 programs + 256 jobs: load %.2f ms, changed job %.3f ms, importer reload %.1f ms in all, GUI held at most %.2f ms\n",
        many.load, many.jobChange, many.importAll, many.importMax);
    std::printf("1 program + 1 job:       load %.2f ms, changed job %.3f ms, importer reload %.1f ms in all, GUI held at most %.2f ms\n",
        one.load, one.jobChange, one.importAll, one.importMax);
    std::printf("256+256 among 2,048 files each: load %.2f ms\n", crowded.load);
    std::printf("METHOD\tcatalogue\tloadPrgs + loadJobs, processor time of the GUI thread, medians of %d rounds; 256 programs and 256 jobs (alone, and among 2,048 files per folder) against 1 + 1\n", rounds);
    std::printf("TABLE\tcatalogues' load, 256+256 vs 1+1\t%.2f\t%.2f\tms\n", many.load, one.load);
    std::printf("TABLE\tthe same among 2,048 files per folder\t%.2f\t%.2f\tms\n", crowded.load, one.load);
    std::printf("TABLE\tchanged job file, 256 vs 1 job\t%.3f\t%.3f\tms\n", many.jobChange, one.jobChange);
    std::printf("TABLE\timporter reload: GUI held, 256 vs 1\t%.2f\t%.2f\tms\n", many.importMax, one.importMax);
    return 0;
}
