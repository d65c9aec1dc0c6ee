// Start-up of the calculator against a bare Qt window: time from starting the process to
// its first painted frame, and peak memory, run alternately so that both meet the same
// machine. Prints medians and their ratios.

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

Run startOnce(const QString &program)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
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
    std::vector<double> velmoraTimes, bareTimes, velmoraRss, bareRss;
    // One unmeasured round of each warms the file cache.
    startOnce(QStringLiteral(STARTUP_VELMORA));
    startOnce(QStringLiteral(STARTUP_BARE));
    for (int round = 0; round < rounds; ++round) {
        const Run velmora = startOnce(QStringLiteral(STARTUP_VELMORA));
        const Run bare = startOnce(QStringLiteral(STARTUP_BARE));
        velmoraTimes.push_back(velmora.milliseconds);
        bareTimes.push_back(bare.milliseconds);
        velmoraRss.push_back(velmora.rssKiB);
        bareRss.push_back(bare.rssKiB);
    }
    const double time = median(velmoraTimes), bareTime = median(bareTimes);
    const double rss = median(velmoraRss), bareRssKiB = median(bareRss);
    std::printf(
        "Start-up, %d alternate runs each, offscreen, process start to first frame\n", rounds);
    std::printf("  %-28s %10s %14s\n", "", "median ms", "peak RSS KiB");
    std::printf("  %-28s %10.1f %14.0f\n", "calculator window", time, rss);
    std::printf("  %-28s %10.1f %14.0f\n", "bare window, one label", bareTime, bareRssKiB);
    std::printf("  %-28s %10.3f %14.3f   (target: both at most 1.10)\n", "ratio", time / bareTime,
        rss / bareRssKiB);
    return 0;
}
