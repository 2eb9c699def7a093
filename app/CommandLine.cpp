#include "app/CommandLine.h"

namespace {
CCommandLine Fail(std::string strError) {
    CCommandLine cmd;
    cmd.eMode = ECommandMode::Error;
    cmd.strError = std::move(strError);
    return cmd;
}
} // namespace

CCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CCommandLine cmd;
    bool bOptionsEnded = false;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& strArg = args[i];
        const bool bOption = !bOptionsEnded && strArg.size() > 1 && strArg[0] == '-';
        if (!bOption) {
            files.push_back(strArg);
            continue;
        }
        auto takeValue = [&](std::string* pstr) {
            if (i + 1 >= args.size()) {
                return false;
            }
            *pstr = args[++i];
            return true;
        };
        if (strArg == "--") {
            bOptionsEnded = true;
        } else if (strArg == "--help" || strArg == "-h") {
            cmd.eMode = ECommandMode::Help;
            return cmd;
        } else if (strArg == "--version") {
            cmd.eMode = ECommandMode::Version;
            return cmd;
        } else if (strArg == "--info") {
            cmd.eMode = ECommandMode::Info;
        } else if (strArg == "--export") {
            cmd.eMode = ECommandMode::Export;
            if (!takeValue(&cmd.strOutput)) {
                return Fail("--export needs an output file: --export OUT FILE.vks");
            }
        } else if (strArg == "--size") {
            if (!takeValue(&cmd.strSize)) {
                return Fail("--size needs a value such as 1200x800");
            }
        } else if (strArg == "--page") {
            if (!takeValue(&cmd.strPage)) {
                return Fail("--page needs a paper size: A4 or Letter");
            }
        } else {
            return Fail("unknown option: " + strArg);
        }
    }
    if (files.size() > 1) {
        return Fail("only one data file may be given, not also: " + files[1]);
    }
    if (!files.empty()) {
        cmd.strFile = files[0];
    }
    if ((cmd.eMode == ECommandMode::Info || cmd.eMode == ECommandMode::Export) &&
        cmd.strFile.empty()) {
        return Fail(cmd.eMode == ECommandMode::Info ? "--info needs a data file"
                                                    : "--export needs a data file");
    }
    if (cmd.eMode != ECommandMode::Export && (!cmd.strSize.empty() || !cmd.strPage.empty())) {
        return Fail("--size and --page go with --export");
    }
    return cmd;
}

std::string UsageText(const std::string& strProgram) {
    return "Usage: " + strProgram +
           " [FILE.vks]\n"
           "       " +
           strProgram +
           " --info FILE.vks\n"
           "       " +
           strProgram +
           " --export OUT.{png,svg,pdf} [--size WxH] [--page A4|Letter] FILE.vks\n"
           "\n"
           "Quillon shows a day of electric-field readings from a field-mill data file.\n"
           "Without a file it asks for one.\n"
           "\n"
           "  --info FILE.vks     print the file's summary as JSON and exit\n"
           "  --export OUT FILE   write the chart to OUT without opening a window:\n"
           "                      .png or .svg as on screen, .pdf as the printed page\n"
           "  --size WxH          image size for .png and .svg (default 1200x800)\n"
           "  --page NAME         paper for .pdf: A4 or Letter (default from the locale)\n"
           "  --help              show this text\n"
           "  --version           show the version\n";
}
