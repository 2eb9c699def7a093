// quillon --export into a folder, run as users run it: each day drawn as a single export draws it,
// a day that cannot be drawn named while the others are drawn, and two days that would overwrite
// each other refused before anything is written.

#include "tests/ui/test_viewer_support.h"

#include <QImage>

#include <filesystem>

using namespace viewer_tests;
using testing_support::WriteFile;
namespace fs = std::filesystem;

TEST(BatchExport, EachDayIntoTheFolderAsASingleExportDrawsIt) {
    const CTempDir dir;
    const std::string strProgram = Quoted(ProgramPath());
    fs::create_directories(dir.File("in/b"));
    fs::create_directory(dir.File("out"));
    WriteDayFile(dir.File("in/20240601.vks"), 9.5);
    WriteDayFile(dir.File("in/20240602.vks"), -4.0);
    WriteDayFile(dir.File("in/b/20240602.vks"), 1.0);
    const std::string strDays = Quoted(dir.File("in/20240601.vks")) + " " +
                                Quoted(dir.File("in/missing.vks")) + " " +
                                Quoted(dir.File("in/20240602.vks"));
    const CCommandResult batch = RunCommand(strProgram + " --export " + Quoted(dir.File("out/")) +
                                            " --size 400x300 " + strDays);
    EXPECT_EQ(batch.nExit, 1);
    EXPECT_EQ(batch.strErr, "quillon: File not found: " + dir.File("in/missing.vks") + "\n");
    for (const char* pszDay : {"20240601", "20240602"}) {
        SCOPED_TRACE(pszDay);
        const std::string strSingle = dir.File(std::string(pszDay) + ".png");
        ASSERT_EQ(RunCommand(strProgram + " --export " + Quoted(strSingle) + " --size 400x300 " +
                             Quoted(dir.File("in/" + std::string(pszDay) + ".vks")))
                      .nExit,
                  0);
        const QImage drawn(QString::fromStdString(dir.File("out/" + std::string(pszDay) + ".png")));
        ASSERT_FALSE(drawn.isNull());
        EXPECT_EQ(drawn, QImage(QString::fromStdString(strSingle)));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("out")), {}), 2);

    // Two days of one name: refused whole; and PDF pages for each day.
    const CCommandResult clash = RunCommand(strProgram + " --export " + Quoted(dir.File("out")) +
                                            " --format svg " + Quoted(dir.File("in/20240602.vks")) +
                                            " " + Quoted(dir.File("in/b/20240602.vks")));
    EXPECT_EQ(clash.nExit, 1);
    EXPECT_NE(clash.strErr.find("cannot draw both"), std::string::npos) << clash.strErr;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("out")), {}), 2);
    const CCommandResult pages = RunCommand(strProgram + " --export " + Quoted(dir.File("out")) +
                                            " --format pdf " + Quoted(dir.File("in/20240601.vks")) +
                                            " " + Quoted(dir.File("in/b/20240602.vks")));
    EXPECT_EQ(pages.nExit, 0) << pages.strErr;
    for (const char* pszName : {"out/20240601.pdf", "out/20240602.pdf"}) {
        EXPECT_EQ(testing_support::ReadFile(dir.File(pszName)).substr(0, 5), "%PDF-") << pszName;
    }
}
