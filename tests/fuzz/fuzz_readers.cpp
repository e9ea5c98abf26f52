// Deterministic mutation fuzzing of every reader of a file that another process writes:
// programs, jobs, the PLC table, the channel configuration, the settings files, the language
// files and the diagnostic tree.
// Each target starts from the simulator's sample files and feeds its reader mutated copies
// (bit flips, random and syntax bytes, long words, cut, repeated and spliced ranges). Run in the normal
// suite for a few hundred inputs per target, and with address and undefined-behaviour
// sanitizers by `scripts/test.sh --sanitize`. Each run walks several seeds, so that a bound
// cannot hold for one seed only: NG_FUZZ_SEED is the first, NG_FUZZ_SEEDS how many (the
// failure line names the seed: rerun it with NG_FUZZ_SEEDS=1), NG_FUZZ_RUNS the inputs per
// target and seed. Exit code 0: no reader crashed, hung or broke a bound.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QVariantMap>

#include <cstdio>
#include <functional>

#include "devicepaths.h"
#include "diagtree.h"
#include "inputlimits.h"
#include "jobcatalogue.h"
#include "jsontranslator.h"
#include "plctable.h"
#include "programcatalogue.h"
#include "settingsfiles.h"
#include "systemlog.h"
#include "testsupport.h"
#include "torqueunits.h"
#include "wlanstatus.h"

namespace {

const QString Sample = QStringLiteral(NG_SOURCE_DIR "/tools/toolsim/sample");

struct Random
{
    quint64 state;
    quint64 next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    int below(int n) { return n <= 0 ? 0 : int(next() % quint64(n)); }
};

QByteArray mutate(QByteArray data, Random& rnd)
{
    static const char* const tokens[] = { "\"", "{", "}", "[", "]", ":", ",", "=", "\n", "\r\n", "\\u0000", "\\ud800",
                                          "prg.Name = \"", "prg.TorqueUnit = ", "module.active = ", "in_tab[5] = plc.In.",
                                          "jobName", "BSSID:", "1e999", "-",
                                          "\xef\xbb\xbf", "\xff\xfe", "\xc3", "null", "true", "0x7fffffff" };
    const int steps = 1 + rnd.below(8);
    for (int s = 0; s < steps; ++s) {
        const int pos = rnd.below(int(data.size()) + 1);
        switch (rnd.below(9)) {
        case 0: // flip a bit
            if (!data.isEmpty())
                data[pos % data.size()] = char(data[pos % data.size()] ^ (1 << rnd.below(8)));
            break;
        case 1: // random bytes
            for (int i = rnd.below(8); i >= 0; --i)
                data.insert(pos, char(rnd.below(256)));
            break;
        case 2: // a syntax token
            data.insert(pos, tokens[rnd.below(int(sizeof tokens / sizeof *tokens))]);
            break;
        case 3: // cut a range
            data.remove(pos, rnd.below(64));
            break;
        case 4: // cut the end
            data.truncate(pos);
            break;
        case 5: { // repeat a range, up to a large file
            const QByteArray piece = data.mid(pos, 1 + rnd.below(32));
            data.insert(pos, piece.repeated(1 + rnd.below(rnd.below(4) == 0 ? 20000 : 16)));
            break;
        }
        case 6: // a NUL byte
            data.insert(pos, '\0');
            break;
        case 7: { // a word longer than any name may be
            QByteArray word(65 + rnd.below(400), 'x');
            for (char& c : word)
                c = char('a' + rnd.below(26));
            data.insert(pos, word);
            break;
        }
        default: // splice in the other half of the input
            data.insert(pos, data.mid(rnd.below(int(data.size()) + 1), 1 + rnd.below(256)));
            break;
        }
    }
    return data;
}

struct Target
{
    const char* name;
    QStringList devicePaths; // the files whose content is fuzzed (one per input)
    std::function<bool()> read; // false: a bound was broken
};

QByteArray sampleOf(const QString& devicePath)
{
    QFile f(Sample + devicePath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("{}");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = qEnvironmentVariableIsSet("NG_FUZZ_RUNS") ? qEnvironmentVariableIntValue("NG_FUZZ_RUNS") : 100;
    const int seedCount = qEnvironmentVariableIsSet("NG_FUZZ_SEEDS") ? qEnvironmentVariableIntValue("NG_FUZZ_SEEDS") : 4;
    const quint64 firstSeed = qEnvironmentVariableIsSet("NG_FUZZ_SEED") ? qgetenv("NG_FUZZ_SEED").toULongLong() : 1;
    qunsetenv("LOCAL_VAR_ROOT_PATH");
    SystemLog::startCapture(); // the readers' log lines are not the point here

    const auto nameFits = [](const QString& s) { return s.size() <= InputLimits::MaxName; };
    const Target targets[] = {
        { "program", { "/home/tool/config/srbprg/prg5.lua" }, [&] {
             const QVariantMap e = ProgramCatalogue::readEntry(QStringLiteral("prg5.lua"));
             return nameFits(e.value("name").toString()) && nameFits(e.value("unit").toString());
         } },
        { "job", { "/home/tool/config/jobs/job001.lua" }, [&] {
             JobCatalogue jobs;
             jobs.load();
             for (const QString& n : jobs.table())
                 if (!nameFits(n))
                     return false;
             return true;
         } },
        { "PLC table", { "/home/tool/config/plctab/mod_tool.lua" }, [&] {
             const QString dir = DevicePaths::map(QString::fromLatin1(DevicePaths::PlcTable));
             const QVariantMap texts = PlcTable::keyTexts(dir);
             PlcTable::moduleActive(dir);
             PlcTable::allProgramsAvailable(dir);
             for (int bit = 0; bit < 3; ++bit)
                 if (!nameFits(PlcTable::textOfBit(texts, bit)))
                     return false;
             return true;
         } },
        { "channel configuration", { "/home/tool/config/ChanCfg.json" }, [&] {
             TorqueUnits units;
             units.read();
             for (const QString& n : units.names())
                 if (!nameFits(n))
                     return false;
             units.format(12.5);
             return true;
         } },
        { "settings", { "/home/tool/config/guiconfig.json", "/home/tool/config/wlan.json" }, [&] {
             SettingsFiles s;
             s.loadCfg();
             s.loadWlan();
             const QString wlan = DevicePaths::map(QString::fromLatin1(DevicePaths::WlanConfigFile));
             WlanStatus::ssid(wlan);
             WlanStatus::interfaceActive(wlan);
             return true;
         } },
        { "language files", { "/home/tool/config/langs/langs.json", "/home/tool/config/langs/de.json" }, [&] {
             JSONTranslator translator(QString::fromLatin1(DevicePaths::LangDir));
             translator.getLanguages();
             translator.setLanguage(QStringLiteral("de"));
             translator.translate("main", "Menu");
             translator.getError(42);
             return true;
         } },
        { "diagnostic files",
          { "/var/run/diag/prgnr", "/var/run/diag/sysfault", "/var/run/diag/idcode", "/var/run/diag/ResConStates/Xml",
            "/var/run/diag/res_services/Xml.json", "/var/run/diag/tiwlan/station-info.dat", "/proc/orimctrl/adcval" },
          [&] {
              DiagTree diag;
              diag.getPrgnr();
              int fclass = 0, code = 0;
              diag.getSysfaultTwoInts(fclass, code);
              diag.getInitResConStates();
              diag.readSrvsFile(QStringLiteral("Xml"));
              diag.adcVal();
              WlanStatus::bssid(DevicePaths::map(QString::fromLatin1(DevicePaths::StationInfoFile)));
              return diag.getIdCode().size() <= InputLimits::MaxCode;
          } },
    };

    int failures = 0;
    for (const Target& target : targets) {
        for (quint64 seed = firstSeed; seed < firstSeed + quint64(qMax(1, seedCount)); ++seed) {
            TempSysroot root;
            QDir().mkpath(root.root() + QStringLiteral("/var/run/diag"));
            QList<QByteArray> samples;
            for (const QString& p : target.devicePaths) {
                samples << sampleOf(p);
                root.write(p, samples.last());
            }
            QList<QByteArray> inputs = samples;
            Random rnd { (seed * 0x9e3779b97f4a7c15ULL) ^ qHash(QByteArray(target.name)) ^ 1 };
            for (int i = 0; i < runs; ++i) {
                const int which = rnd.below(int(target.devicePaths.size()));
                // Half from the sample: kept mutants lose their lines to cuts over time.
                const QByteArray input = mutate(rnd.below(2) == 0 ? samples.at(which) : inputs.at(which), rnd);
                root.write(target.devicePaths.at(which), input);
                if (!target.read()) {
                    ++failures;
                    std::fprintf(stderr, "%s: seed %llu input %d broke a bound (%lld bytes)\n", target.name,
                                 static_cast<unsigned long long>(seed), i, qint64(input.size()));
                }
                // Now and then keep the mutant, so that mutations pile up.
                if (rnd.below(4) == 0 && input.size() < 256 * 1024)
                    inputs[which] = input;
            }
        }
        std::printf("%s: %d inputs from each of %d seeds\n", target.name, runs, qMax(1, seedCount));
    }
    return failures == 0 ? 0 : 1;
}
