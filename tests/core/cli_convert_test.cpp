// The terminal's convert: an Open of one file and a Save to another.

#include "cli/Cli.h"
#include "support/DataFileKit.h"

#include <QBuffer>
#include <QTextStream>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

struct ConvertRun {
    int status = -1;
    QString err;
};

ConvertRun convert(const QStringList& args)
{
    ConvertRun r;
    QString out;
    QTextStream o(&out);
    QTextStream e(&r.err);
    r.status = runCli(QStringList{"convert"} + args, QStringLiteral(KTR_BINARY_DIR), o, e, false);
    e.flush();
    return r;
}

} // namespace

TEST(CliConvert, RoundTripsThroughBothTextFormats)
{
    Scratch s;
    const QByteArray image = patternBytes(0x10011);
    const QString bin = s.write("in.bin", image);
    ASSERT_EQ(convert({bin, s.path("mid.hex")}).status, 0);
    ASSERT_EQ(convert({s.path("mid.hex"), s.path("mid.bin")}).status, 0);
    EXPECT_EQ(s.read("mid.bin"), image);
    ASSERT_EQ(convert({bin, s.path("mid.src")}).status, 0);
    EXPECT_TRUE(s.read("mid.src").startsWith("S00600004844521B\r\nS2"));
    // S-records are read from ".eep" files by their first character.
    QFile::rename(s.path("mid.src"), s.path("mid.eep"));
    const ConvertRun back = convert({s.path("mid.eep"), s.path("back.rom")});
    ASSERT_EQ(back.status, 0);
    EXPECT_EQ(s.read("back.rom"), image);
    EXPECT_TRUE(back.err.contains("Open " + s.path("mid.eep")));
    EXPECT_TRUE(back.err.contains("mid.eep: read by its content as S-records"));
}

TEST(CliConvert, AnExistingTargetNeedsYes)
{
    Scratch s;
    const QString in = s.write("in.bin", "abc");
    const QString out = s.write("out.bin", "old");
    const ConvertRun asked = convert({in, out});
    EXPECT_EQ(asked.status, 1);
    EXPECT_TRUE(asked.err.contains("File already exists. Is it covered? "));
    EXPECT_EQ(convert({"--no", in, out}).status, 1);
    EXPECT_EQ(s.read("out.bin"), "old");
    EXPECT_EQ(convert({in, out, "--yes"}).status, 0);
    EXPECT_EQ(s.read("out.bin"), "abc");
}

TEST(CliConvert, AFailedLoadWritesNothing)
{
    Scratch s;
    const ConvertRun bad = convert({s.write("bad.hex", ":01000000AA56\r\n:00000001FF\r\n"), s.path("out.bin")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(bad.err.contains("Checksum Error type 0"));
    const ConvertRun missing = convert({s.path("none.bin"), s.path("out.bin")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains("Cannot read the file " + s.path("none.bin") + "\nNo such file or directory\n"))
        << missing.err.toStdString();
    EXPECT_FALSE(QFile::exists(s.path("out.bin")));
}

TEST(CliConvert, EepromTakesItsOwnCapacity)
{
    Scratch s;
    const QString fits = s.write("fits.bin", patternBytes(8192));
    EXPECT_EQ(convert({fits, s.path("e.hex"), "--eeprom"}).status, 0);
    const ConvertRun over = convert({s.write("over.bin", patternBytes(8193)), s.path("o.hex"), "--eeprom"});
    EXPECT_EQ(over.status, 1);
    EXPECT_TRUE(over.err.contains("File is too big for Buffer"));
    // The Flash buffer takes the same file.
    EXPECT_EQ(convert({s.path("over.bin"), s.path("o.hex")}).status, 0);
}

TEST(CliConvert, BadUsage)
{
    EXPECT_EQ(convert({"only-one"}).status, 2);
    EXPECT_EQ(convert({"a", "b", "c"}).status, 2);
    EXPECT_EQ(convert({"a", "b", "--flash"}).status, 2);
}

// --format names the written format whatever the extension ("-" standard
// output); --in-format the read one; standard input needs no seekable file.
TEST(CliConvert, FormatOptionsAndStandardStreams)
{
    Scratch s;
    const QByteArray image = patternBytes(300);
    const QString bin = s.write("a.bin", image);
    ASSERT_EQ(convert({"--format", "srec", bin, s.path("a.out")}).status, 0);
    EXPECT_TRUE(s.read("a.out").startsWith("S00600004844521B\r\nS1"));
    ASSERT_EQ(convert({bin, s.path("b.bin"), "--format=srec"}).status, 0);
    EXPECT_TRUE(s.read("b.bin").startsWith("S0")) << "--format over the extension";
    ASSERT_EQ(convert({"--in-format", "srec", "--format", "hex", s.path("a.out"), s.path("c.txt")}).status, 0);
    EXPECT_TRUE(s.read("c.txt").startsWith(":"));

    QString out, err;
    QByteArray in = s.read("c.txt"), data;
    QTextStream o(&out), e(&err);
    QBuffer input(&in), output(&data);
    input.open(QIODevice::ReadOnly);
    output.open(QIODevice::WriteOnly);
    EXPECT_EQ(runCli({"convert", "-", "-"}, ProgramFiles(QStringLiteral(KTR_BINARY_DIR)),
                     CliStreams{o, e, false, &input, &output}),
              0);
    EXPECT_EQ(data, image) << "Intel HEX read by its content, raw bytes written";
    EXPECT_TRUE(err.contains("-: read by its content as Intel HEX"));

    // Standard output that takes nothing fails the command, what was
    // written from a buffer that hides the fault until its flush too.
    for (const qint64 size : {qint64(10), qint64(300)}) {
        QFile full(QStringLiteral("/dev/full"));
        ASSERT_TRUE(full.open(QIODevice::WriteOnly));
        QString fullErr;
        QTextStream quiet(&out), e2(&fullErr);
        const QString small = s.write("small.bin", patternBytes(size));
        EXPECT_EQ(runCli({"convert", small, "-"}, ProgramFiles(QStringLiteral(KTR_BINARY_DIR)),
                         CliStreams{quiet, e2, false, &input, &full}),
                  1);
        e2.flush();
        EXPECT_TRUE(fullErr.contains("Cannot write the file -\nNo space left on device")) << fullErr.toStdString();
    }
}

// A FIFO as IN is read once: a trial open before the load would take the
// writer's bytes with it and leave the load waiting for a writer.
TEST(CliConvert, ANamedPipeIsReadOnce)
{
    Scratch s;
    const QByteArray image = patternBytes(3000);
    const QString fifo = s.path("in.pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    std::atomic<bool> finished{false};
    std::thread writer([&] {
        sigset_t pipeSignal;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY);
        if (fd >= 0) {
            (void)!::write(fd, image.constData(), image.size());
            ::close(fd);
        }
        // A second open still waiting for a writer gets an end of file
        // instead of hanging the test.
        for (int i = 0; i < 100 && !finished; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!finished) {
            const int again = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
            if (again >= 0)
                ::close(again);
        }
    });
    const ConvertRun run = convert({fifo, s.path("out.bin")});
    finished = true;
    writer.join();
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(s.read("out.bin"), image);
}
