// The instrument commands of vetradesk-cli against the simulated instrument.
#include "simfixture.h"

#include "support/clirun.h"
#include "data/datafile.h"
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

} // namespace

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
    ASSERT_EQ(Run({QStringLiteral("download"), QStringLiteral("--port"), QStringLiteral("3"), QStringLiteral("-o"), csv}), 0)
        << qPrintable(err);
    QList<TVetraObject> read;
    ASSERT_TRUE(LoadCsvFile(csv, read));
    EXPECT_EQ(read.size(), sim->Objects().size());

    const QString project = Path("site.qxs");
    const QStringList args{QStringLiteral("download"), QStringLiteral("--port"), QStringLiteral("3"),
                           QStringLiteral("-o"), project, QStringLiteral("--add")};
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
    EXPECT_EQ(Run({QStringLiteral("download"), QStringLiteral("--port"), QStringLiteral("3"), QStringLiteral("-o"), csv}), 0);
    EXPECT_TRUE(err.contains(QStringLiteral("No measurement objects found on Vetrameter!")));
    EXPECT_FALSE(QFile::exists(csv));

    sim->SetFault(VetraSim::Fault::BadChecksum);
    EXPECT_EQ(Run({QStringLiteral("download"), QStringLiteral("--port"), QStringLiteral("3"), QStringLiteral("-o"), csv}), 4);
    EXPECT_TRUE(err.contains(QStringLiteral("The download of objects from Vetrameter failed!")));

    sim->SetFault(VetraSim::Fault::None);
    EXPECT_EQ(Run({QStringLiteral("download"), QStringLiteral("--port"), QStringLiteral("2"), QStringLiteral("-o"), csv}), 3);
    EXPECT_EQ(Run({QStringLiteral("delete-all"), QStringLiteral("--port"), QStringLiteral("3")}), 1);   // --yes missing
    EXPECT_FALSE(sim->Objects().isEmpty());
    EXPECT_EQ(Run({QStringLiteral("delete-all"), QStringLiteral("--port"), QStringLiteral("3"), QStringLiteral("--yes")}), 0);
    EXPECT_TRUE(out.contains(QStringLiteral("Delete all data on Vetrameter succeeded.")));
    EXPECT_TRUE(sim->Objects().isEmpty());
    EXPECT_EQ(Run({QStringLiteral("search"), QStringLiteral("--port"), QStringLiteral("3"), QStringLiteral("--scan")}), 1);
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
