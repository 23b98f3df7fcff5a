// vetrasim: a simulated Vetrameter on a pseudo-terminal, for working with the
// program without an instrument.
//
//   vetrasim [--link PATH] [--objects FILE.csv]... [--generate N] [--no-pacing]
//            [--fault NAME[=N]] [--checksum K] [--s-only]
#include "simulator.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <csignal>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    const QStringList args = QCoreApplication::arguments().mid(1);
    auto usage = [&] {
        err << "usage: vetrasim [--link PATH] [--objects FILE.csv]... [--generate N] [--no-pacing]\n"
               "                [--fault NAME[=N]] [--checksum 0|1|2|4] [--s-only]\n"
               "faults: silent, garbage, bad-checksum, truncated, disconnect=N, wrong-family, no-objects\n";
        return 1;
    };

    // Block the stop signals before any thread starts, so that sigwait gets them.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);

    VetraSim::CSimulator sim;
    QString link;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        auto value = [&]() -> QString { return i + 1 < args.size() ? args[++i] : QString(); };
        if (a == u"--link") {
            link = value();
        } else if (a == u"--objects") {
            const QString file = value();
            if (!sim.LoadObjects(file)) {
                err << "vetrasim: cannot read " << file << "\n";
                return 2;
            }
        } else if (a == u"--generate") {
            sim.GenerateObjects(value().toInt());
        } else if (a == u"--no-pacing") {
            sim.SetPacing(false);
        } else if (a == u"--s-only") {
            sim.SetTextIdentification(false);
        } else if (a == u"--checksum") {
            sim.SetChecksumKind(std::uint8_t(value().toUInt()));
        } else if (a == u"--fault") {
            const QStringList parts = value().split(u'=');
            VetraSim::Fault fault;
            if (!VetraSim::ParseFault(parts.value(0), fault))
                return usage();
            sim.SetFault(fault, parts.value(1).toInt());
        } else {
            return usage();
        }
    }
    if (!link.isEmpty() && !sim.MakeLink(link)) {
        err << "vetrasim: cannot make the link " << link << "\n";
        return 2;
    }
    sim.Start();
    out << sim.SlavePath() << "\n";
    out << "vetrasim: " << sim.Objects().size() << " objects; point the program at "
        << (link.isEmpty() ? sim.SlavePath() : link)
        << ", for example VETRADESK_PORTMAP=COM1=" << (link.isEmpty() ? sim.SlavePath() : link) << "; Ctrl+C ends\n";
    out.flush();
    int signal = 0;
    sigwait(&stop, &signal);
    sim.Stop();
    if (!link.isEmpty())
        QFile::remove(link);
    return 0;
}
