// The instrument commands of vetradesk-cli against the simulated instrument.
#include "simfixture.h"

#include "data/datafile.h"
#include "support/clirun.h"
#include "support/testsupport.h"

#include <QTemporaryDir>

namespace {

class CliInstrumentTest : public SimFixture
{
protected:
    int Run(const QStringList &args)
    {
        const TestSupport::CliResult r = TestSupport::RunCli(args);
        out = r.out;
        err = r.err;
        return r.code;
    }
    QString Path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
    QString out, err;
};

// The line of stderr after the tool's error `message`; null when the message
// is not there.
QString LineAfterError(const QString &err, const QString &message)
{
    const QStringList lines = err.split(u'\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        if (lines[i] == QStringLiteral("vetradesk-cli: ") + message)
            return lines[i + 1];
    return {};
}

const QString kDownloadFailed = QStringLiteral("The download of objects from Vetrameter failed!");
const QString kNoInstrument = QStringLiteral("no Vetrameter found");

}   // namespace

TEST_F(CliInstrumentTest, SearchListsTheInstrumentOnItsPort)
{
    ASSERT_EQ(Run({QStringLiteral("search"), QStringLiteral("--scan")}), 0) << qPrintable(err);
    EXPECT_EQ(out, QStringLiteral("COM3\t%1\tVetrameter\tVM-20931\t2.11\n").arg(sim->SlavePath()));
    EXPECT_TRUE(err.contains(QStringLiteral("Search Vetrameter device on Serial COM1:...")));
    sim->SetFault(VetraSim::Fault::WrongFamily);
    EXPECT_EQ(Run({QStringLiteral("search"), QStringLiteral("--port"), QStringLiteral("3")}), 3);
    EXPECT_TRUE(err.contains(QStringLiteral("No device of the required type found.")));
}

TEST_F(CliInstrumentTest, DownloadWritesADataFileOrAddsToAProject)
{
    const QString csv = Path("download.csv");
    ASSERT_EQ(
        Run({QStringLiteral("download"), QStringLiteral("--port"), QStringLiteral("3"), QStringLiteral("-o"), csv}), 0)
        << qPrintable(err);
    QList<TVetraObject> read;
    ASSERT_TRUE(LoadCsvFile(csv, read));
    EXPECT_EQ(read.size(), sim->Objects().size());

    const QString project = Path("site.qxs");
    const QStringList args{
        QStringLiteral("download"), QStringLiteral("--port"), QStringLiteral("3"), QStringLiteral("-o"), project,
        QStringLiteral("--add")};
    ASSERT_EQ(Run(args), 0) << qPrintable(err);
    ASSERT_EQ(Run(args), 0) << qPrintable(err);   // the same objects again: synchronised away
    EXPECT_TRUE(err.contains(QStringLiteral("12 objects of 12 are already downloaded.")));
    ASSERT_EQ(Run(args + QStringList{QStringLiteral("--sync"), QStringLiteral("all")}), 0);
    ASSERT_EQ(Run({QStringLiteral("info"), project}), 0);
    EXPECT_EQ(out.count(u'\n'), 24);
}

TEST_F(CliInstrumentTest, FailuresHaveTheirExitCodes)
{
    const QString csv = Path("x.csv");
    sim->SetFault(VetraSim::Fault::NoObjects);
    EXPECT_EQ(
        Run({QStringLiteral("download"), QStringLiteral("--port"), QStringLiteral("3"), QStringLiteral("-o"), csv}), 0);
    EXPECT_TRUE(err.contains(QStringLiteral("No measurement objects found on Vetrameter!")));
    EXPECT_FALSE(QFile::exists(csv));

    sim->SetFault(VetraSim::Fault::BadChecksum);
    EXPECT_EQ(
        Run({QStringLiteral("download"), QStringLiteral("--port"), QStringLiteral("3"), QStringLiteral("-o"), csv}), 4);
    EXPECT_TRUE(err.contains(QStringLiteral("The download of objects from Vetrameter failed!")));

    sim->SetFault(VetraSim::Fault::None);
    EXPECT_EQ(
        Run({QStringLiteral("download"), QStringLiteral("--port"), QStringLiteral("2"), QStringLiteral("-o"), csv}), 3);
    EXPECT_EQ(Run({QStringLiteral("delete-all"), QStringLiteral("--port"), QStringLiteral("3")}), 1);   // --yes missing
    EXPECT_FALSE(sim->Objects().isEmpty());
    EXPECT_EQ(
        Run({QStringLiteral("delete-all"), QStringLiteral("--port"), QStringLiteral("3"), QStringLiteral("--yes")}), 0);
    EXPECT_TRUE(out.contains(QStringLiteral("Delete all data on Vetrameter succeeded.")));
    EXPECT_TRUE(sim->Objects().isEmpty());
    EXPECT_EQ(Run({QStringLiteral("search"), QStringLiteral("--port"), QStringLiteral("3"), QStringLiteral("--scan")}),
              1);
}

TEST_F(CliInstrumentTest, SimulateServesAGivenDataFileOnCom1)
{
    const QString csv = Path("sim.csv");
    ASSERT_EQ(Run({QStringLiteral("download"), QStringLiteral("--port"), QStringLiteral("1"),
                   QStringLiteral("--simulate=") + TestSupport::SourcePath(QStringLiteral("samples/demo.csv")),
                   QStringLiteral("--text"), QStringLiteral("-o"), csv}),
              0)
        << qPrintable(err);
    QList<TVetraObject> got, served;
    ASSERT_TRUE(LoadCsvFile(csv, got));
    ASSERT_TRUE(LoadCsvFile(TestSupport::SourcePath(QStringLiteral("samples/demo.csv")), served));
    ASSERT_EQ(got.size(), served.size());
    for (qsizetype i = 0; i < got.size(); ++i)
        EXPECT_EQ(FormatDataFile(got[i]), FormatDataFile(served[i]));   // field by field, through the text download
}

TEST_F(CliInstrumentTest, AFailedDownloadGivesItsCauseOnTheNextLine)
{
    const QString csv = Path("x.csv");
    const QStringList args{QStringLiteral("download"), QStringLiteral("--port"), QStringLiteral("3"),
                           QStringLiteral("-o"), csv};
    sim->SetFault(VetraSim::Fault::BadChecksum);
    EXPECT_EQ(Run(args), 4);
    EXPECT_EQ(LineAfterError(err, kDownloadFailed),
              QStringLiteral("The reply of the instrument arrived with a checksum error."))
        << qPrintable(err);
    EXPECT_FALSE(QFile::exists(csv));
}

TEST_F(CliInstrumentTest, ALinkLostInTheDownloadGivesTheStreamsReasonOnTheNextLine)
{
    const QString csv = Path("x.csv");
    // The simulator counts bytes from its start: on a fresh one the search
    // sends well under 2000, so the cable is pulled inside the download.
    sim->SetFault(VetraSim::Fault::DisconnectAfter, 2000);
    EXPECT_EQ(
        Run({QStringLiteral("download"), QStringLiteral("--port"), QStringLiteral("3"), QStringLiteral("-o"), csv}), 4);
    EXPECT_TRUE(sim->Log().contains(QStringLiteral("disconnected")));
    const QString cause = LineAfterError(err, kDownloadFailed);
    EXPECT_TRUE(cause.startsWith(QStringLiteral("The connection to the instrument was lost: "))) << qPrintable(err);
    EXPECT_TRUE(cause.contains(sim->SlavePath())) << qPrintable(err);
    EXPECT_FALSE(cause.contains(QStringLiteral("no reason given"))) << qPrintable(err);
    EXPECT_FALSE(QFile::exists(csv));
}

TEST_F(CliInstrumentTest, OnePortWithoutAnInstrumentSaysWhyOnTheNextLine)
{
    const QString csv = Path("out.csv");
    // COM5 is mapped to a device path that does not exist.
    EXPECT_EQ(
        Run({QStringLiteral("download"), QStringLiteral("--port"), QStringLiteral("5"), QStringLiteral("-o"), csv}), 3);
    QString why = LineAfterError(err, kNoInstrument);
    EXPECT_TRUE(why.startsWith(QStringLiteral("could not open port. /nonexistent/ttyVM5: "))) << qPrintable(err);
    EXPECT_TRUE(why.contains(QStringLiteral("There is no serial port COM5."))) << qPrintable(err);
    EXPECT_FALSE(QFile::exists(csv));
    EXPECT_EQ(
        Run({QStringLiteral("delete-all"), QStringLiteral("--port"), QStringLiteral("5"), QStringLiteral("--yes")}), 3);
    EXPECT_EQ(LineAfterError(err, kNoInstrument), why);

    // The port opens, but the instrument there is of another family.
    sim->SetFault(VetraSim::Fault::WrongFamily);
    EXPECT_EQ(
        Run({QStringLiteral("download"), QStringLiteral("--port"), QStringLiteral("3"), QStringLiteral("-o"), csv}), 3);
    EXPECT_EQ(LineAfterError(err, kNoInstrument), QStringLiteral("No device of the required type found."))
        << qPrintable(err);

    // A scan's last status concerns COM256 only: no second line then.
    EXPECT_EQ(Run({QStringLiteral("download"), QStringLiteral("--scan"), QStringLiteral("-o"), csv}), 3);
    EXPECT_TRUE(err.endsWith(QStringLiteral("vetradesk-cli: ") + kNoInstrument + u'\n')) << qPrintable(err.right(300));
}
