// Start-up of the calculator against two references: a bare Qt window (the toolkit's
// floor) and the same window written plainly on Qt's widgets (the peer). Time from
// starting the process to its first painted frame, and peak memory, the three run in turn
// so that all meet the same machine. Prints medians and the calculator's ratios to each.
// Usage: bench_startup [ROUNDS [VELMORA.EXE PLAIN.EXE]], the last two the Windows builds,
// run under Wine against each other.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Run
{
    double milliseconds = 0;
    double rssKiB = 0;
};

// A Windows program (.exe) starts under Wine, on the display and in the prefix the
// environment names; any other on the offscreen platform.
Run startOnce(const QString &program)
{
    const bool windows = program.endsWith(QStringLiteral(".exe"));
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!windows)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    if (windows)
        process.start(QStringLiteral("wine"), { program });
    else
        process.start(program, {});
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(10000)) {
            std::fprintf(stderr, "%s did not paint\n", qPrintable(program));
            std::exit(1);
        }
    }
    Run run;
    run.milliseconds = double(timer.nsecsElapsed()) / 1e6;
    const QList<QByteArray> words = process.readLine().trimmed().split(' ');
    run.rssKiB = words.value(1).toDouble();
    process.waitForFinished();
    return run;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 21;
    struct Program
    {
        const char *name;
        QString path;
        std::vector<double> times, rss;
    };
    // Given the Windows builds of the calculator and of its peer, those two under Wine.
    const bool wine = argc > 3;
    Program velmora { "calculator window",
        wine ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(STARTUP_VELMORA), {}, {} };
    Program bare { "bare window, one label", QStringLiteral(STARTUP_BARE), {}, {} };
    Program plain { "plain Qt window, same form",
        wine ? QString::fromLocal8Bit(argv[3]) : QStringLiteral(STARTUP_PLAIN), {}, {} };
    std::vector<Program *> programs { &velmora, &plain };
    if (!wine)
        programs.insert(programs.begin() + 1, &bare);
    // One unmeasured round of each warms the file cache.
    for (Program *program : programs)
        startOnce(program->path);
    for (int round = 0; round < rounds; ++round) {
        for (Program *program : programs) {
            const Run run = startOnce(program->path);
            program->times.push_back(run.milliseconds);
            program->rss.push_back(run.rssKiB);
        }
    }
    std::printf("Start-up, %d alternate runs each, %s, process start to first frame\n", rounds,
        wine ? "Windows build under Wine" : "offscreen");
    std::printf("  %-28s %10s %14s\n", "", "median ms", "peak RSS KiB");
    for (const Program *program : programs) {
        std::printf(
            "  %-28s %10.1f %14.0f\n", program->name, median(program->times), median(program->rss));
    }
    // Bare is the toolkit's floor; plain is the peer the calculator should not fall behind.
    for (const Program *reference : programs) {
        if (reference == &velmora)
            continue;
        std::printf("  %-28s %10.3f %14.3f%s\n",
            reference == &bare ? "calculator / bare" : "calculator / plain",
            median(velmora.times) / median(reference->times),
            median(velmora.rss) / median(reference->rss),
            reference == &plain ? "   (goal: both at most 1.000)" : "");
    }
    return 0;
}
