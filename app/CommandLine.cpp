#include "app/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

namespace {
// Arguments are bytes and the paths among them need not be UTF-8. Qt 6 decodes local 8-bit as
// UTF-8 on Unix and turns a stray byte into U+FFFD, so a path would not come back as given.
// The parser only looks at '-', '=' and ASCII option names, so each byte travels as one Latin-1
// character and comes back unchanged.
QString FromArgument(const std::string& str) {
    return QString::fromLatin1(str.data(), static_cast<qsizetype>(str.size()));
}

std::string ToArgument(const QString& str) {
    const QByteArray bytes = str.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

CCommandLine Fail(std::string strError) {
    CCommandLine cmd;
    cmd.eMode = ECommandMode::Error;
    cmd.strError = std::move(strError);
    return cmd;
}

// The parser names an unknown option without its dashes or value; users should see what they
// typed, as "-odd name.vks" for a file that needed "--" in front of it.
std::string TypedAs(const QStringList& args, const QString& strName) {
    const QString strDashed = QLatin1Char('-') + strName;
    for (const QString& strArg : args) {
        const QString strOption = strArg.section(QLatin1Char('='), 0, 0);
        if (strOption == strDashed || strOption == QLatin1Char('-') + strDashed) {
            return ToArgument(strArg);
        }
    }
    return ToArgument(QStringLiteral("--") + strName);
}
} // namespace

CCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption info(QStringLiteral("info"));
    const QCommandLineOption exportTo(QStringLiteral("export"), QString(), QStringLiteral("OUT"));
    const QCommandLineOption size(QStringLiteral("size"), QString(), QStringLiteral("WxH"));
    const QCommandLineOption page(QStringLiteral("page"), QString(), QStringLiteral("NAME"));
    struct CValueOption {
        const QCommandLineOption* pOption;
        const char* pszMissing;
    };
    const CValueOption valueOptions[] = {
        {&exportTo, "--export needs an output file: --export OUT FILE.vks"},
        {&size, "--size needs a value such as 1200x800"},
        {&page, "--page needs a paper size: A4 or Letter"},
    };

    QCommandLineParser parser;
    // Long options only: with one short option, packing "-abc" would buy nothing, and an unknown
    // "-odd name.vks" is then reported whole rather than as its first letter.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({help, version, info, exportTo, size, page});

    QStringList argList{QStringLiteral("quillon")};
    for (const std::string& strArg : args) {
        argList.append(FromArgument(strArg));
    }
    const bool bParsed = parser.parse(argList);

    // Whoever asks for help or the version gets it, whatever else is on the line.
    for (const QString& strName : parser.optionNames()) {
        if (help.names().contains(strName) || version.names().contains(strName)) {
            CCommandLine cmd;
            cmd.eMode = help.names().contains(strName) ? ECommandMode::Help : ECommandMode::Version;
            return cmd;
        }
    }
    if (!bParsed) {
        if (!parser.unknownOptionNames().isEmpty()) {
            return Fail("unknown option: " + TypedAs(argList, parser.unknownOptionNames().first()));
        }
        // A value option at the very end is found but gets no value.
        for (const CValueOption& option : valueOptions) {
            const QString strName = option.pOption->names().first();
            if (parser.optionNames().count(strName) > parser.values(strName).size()) {
                return Fail(option.pszMissing);
            }
        }
        // Help and the version returned above, so the flag given "=value" is --info.
        return Fail("--info takes no value: --info FILE.vks");
    }

    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        return Fail("only one data file may be given, not also: " + ToArgument(files[1]));
    }
    CCommandLine cmd;
    // Given both, the later of --info and --export decides, as a later option overrides.
    for (const QString& strName : parser.optionNames()) {
        if (info.names().contains(strName)) {
            cmd.eMode = ECommandMode::Info;
        } else if (exportTo.names().contains(strName)) {
            cmd.eMode = ECommandMode::Export;
        }
    }
    cmd.strOutput = ToArgument(parser.value(exportTo));
    if (!files.isEmpty()) {
        cmd.strFile = ToArgument(files[0]);
    }
    if ((cmd.eMode == ECommandMode::Info || cmd.eMode == ECommandMode::Export) &&
        cmd.strFile.empty()) {
        return Fail(cmd.eMode == ECommandMode::Info ? "--info needs a data file"
                                                    : "--export needs a data file");
    }
    if (cmd.eMode != ECommandMode::Export && (parser.isSet(size) || parser.isSet(page))) {
        return Fail("--size and --page go with --export");
    }
    cmd.strSize = ToArgument(parser.value(size));
    cmd.strPage = ToArgument(parser.value(page));
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
           "  --version           show the version\n"
           "\n"
           "Bytes of a path that are not UTF-8 show as U+FFFD in --info's JSON.\n";
}
