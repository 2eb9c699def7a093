#include "app/CommandLine.h"

#include "settings/ViewOptions.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QStringList>

namespace {
constexpr int SECONDS_IN_DAY = 86400;

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

// Whether a flag was typed with "=value", as "--json=1".
bool GivenWithValue(const QStringList& args, const QString& strName) {
    for (const QString& strArg : args) {
        if (strArg.startsWith(QStringLiteral("--") + strName + QLatin1Char('=')) ||
            strArg.startsWith(QLatin1Char('-') + strName + QLatin1Char('='))) {
            return true;
        }
    }
    return false;
}
} // namespace

CCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption info(QStringLiteral("info"));
    const QCommandLineOption exportTo(QStringLiteral("export"), QString(), QStringLiteral("OUT"));
    const QCommandLineOption size(QStringLiteral("size"), QString(), QStringLiteral("WxH"));
    const QCommandLineOption page(QStringLiteral("page"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption from(QStringLiteral("from"), QString(), QStringLiteral("TIME"));
    const QCommandLineOption to(QStringLiteral("to"), QString(), QStringLiteral("TIME"));
    const QCommandLineOption noAlarms(QStringLiteral("no-alarms"));
    const QCommandLineOption format(QStringLiteral("format"), QString(), QStringLiteral("TYPE"));
    const QCommandLineOption summary(QStringLiteral("summary"));
    const QCommandLineOption archive(QStringLiteral("archive"));
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption hourly(QStringLiteral("hourly"));
    const QCommandLineOption gradient(QStringLiteral("pg"));
    const QCommandLineOption warning(QStringLiteral("warning"), QString(), QStringLiteral("KV_M"));
    const QCommandLineOption alert(QStringLiteral("alert"), QString(), QStringLiteral("KV_M"));
    struct CValueOption {
        const QCommandLineOption* pOption;
        const char* pszMissing;
    };
    const CValueOption valueOptions[] = {
        {&exportTo, "--export needs an output file: --export OUT FILE.vks"},
        {&size, "--size needs a value such as 1200x800"},
        {&page, "--page needs a paper size: A4 or Letter"},
        {&from, "--from needs a time of day such as 14:00"},
        {&to, "--to needs a time of day such as 17:30"},
        {&format, "--format needs a file type: png, svg or pdf"},
        {&warning, "--warning needs a level in kV/m such as 2.5"},
        {&alert, "--alert needs a level in kV/m such as 5"},
    };

    QCommandLineParser parser;
    // Long options only: with one short option, packing "-abc" would buy nothing, and an unknown
    // "-odd name.vks" is then reported whole rather than as its first letter.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({help, version, info, exportTo, size, page, from, to, noAlarms, format,
                       summary, archive, json, hourly, warning, alert, gradient});

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
        // Help and the version returned above, so the flag given "=value" is one of these.
        for (const QCommandLineOption* pFlag :
             {&noAlarms, &summary, &archive, &json, &hourly, &gradient}) {
            if (GivenWithValue(argList, pFlag->names().first())) {
                return Fail("--" + ToArgument(pFlag->names().first()) + " takes no value");
            }
        }
        return Fail("--info takes no value: --info FILE.vks");
    }

    const QStringList files = parser.positionalArguments();
    CCommandLine cmd;
    // Given several, the last of --info, --export, --summary and --archive decides, as a later
    // option overrides.
    for (const QString& strName : parser.optionNames()) {
        if (info.names().contains(strName)) {
            cmd.eMode = ECommandMode::Info;
        } else if (exportTo.names().contains(strName)) {
            cmd.eMode = ECommandMode::Export;
        } else if (summary.names().contains(strName)) {
            cmd.eMode = ECommandMode::Summary;
        } else if (archive.names().contains(strName)) {
            cmd.eMode = ECommandMode::Archive;
        }
    }
    // Summaries and a batch export take many paths; the rest one.
    if (files.size() > 1 && cmd.eMode != ECommandMode::Summary &&
        cmd.eMode != ECommandMode::Export) {
        return Fail((cmd.eMode == ECommandMode::Archive ? "--archive takes one folder, not also: "
                                                        : "only one data file may be given, "
                                                          "not also: ") +
                    ToArgument(files[1]));
    }
    cmd.strOutput = ToArgument(parser.value(exportTo));
    // Several days are drawn into a folder; a file name as OUT is a mistake, said at once.
    const QString strOutSuffix = QFileInfo(parser.value(exportTo)).suffix().toLower();
    if (cmd.eMode == ECommandMode::Export && files.size() > 1 &&
        (strOutSuffix == QLatin1String("png") || strOutSuffix == QLatin1String("svg") ||
         strOutSuffix == QLatin1String("pdf"))) {
        return Fail("several days are drawn into a folder (--export OUTDIR/ DAY.vks...), not "
                    "into " +
                    cmd.strOutput);
    }
    for (const QString& strFile : files) {
        cmd.files.push_back(ToArgument(strFile));
    }
    if (!files.isEmpty()) {
        cmd.strFile = cmd.files.front();
    }
    if (cmd.eMode == ECommandMode::Summary && cmd.files.empty()) {
        return Fail("--summary needs a data file or a folder: --summary PATH...");
    }
    if (cmd.eMode != ECommandMode::Summary && (parser.isSet(json) || parser.isSet(hourly) ||
                                               parser.isSet(warning) || parser.isSet(alert))) {
        return Fail("--json, --hourly, --warning and --alert go with --summary");
    }
    for (const auto& [pOption, pdLevel] :
         {std::pair{&warning, &cmd.dWarning}, std::pair{&alert, &cmd.dAlert}}) {
        if (parser.isSet(*pOption) && !ParseLevel(ToArgument(parser.value(*pOption)), pdLevel)) {
            return Fail("bad level '" + ToArgument(parser.value(*pOption)) +
                        "': expected a number of kV/m from 0 to " + FormatLevel(MAX_FIELD_LEVEL));
        }
    }
    if (parser.isSet(gradient) && cmd.eMode != ECommandMode::Summary &&
        cmd.eMode != ECommandMode::Export) {
        return Fail("--pg goes with --summary or --export");
    }
    cmd.bPotentialGradient = parser.isSet(gradient);
    cmd.bJson = parser.isSet(json);
    cmd.bHourly = parser.isSet(hourly);
    if (parser.isSet(format)) {
        if (cmd.eMode != ECommandMode::Export) {
            return Fail("--format goes with --export into a folder");
        }
        cmd.strFormat = ToArgument(parser.value(format).toLower());
        if (cmd.strFormat != "png" && cmd.strFormat != "svg" && cmd.strFormat != "pdf") {
            return Fail("unknown --format '" + ToArgument(parser.value(format)) +
                        "': use png, svg or pdf");
        }
    }
    if ((cmd.eMode == ECommandMode::Info || cmd.eMode == ECommandMode::Export) &&
        cmd.strFile.empty()) {
        return Fail(cmd.eMode == ECommandMode::Info ? "--info needs a data file"
                                                    : "--export needs a data file");
    }
    if (cmd.eMode != ECommandMode::Export && (parser.isSet(size) || parser.isSet(page))) {
        return Fail("--size and --page go with --export");
    }
    if (cmd.eMode != ECommandMode::Export &&
        (parser.isSet(from) || parser.isSet(to) || parser.isSet(noAlarms))) {
        return Fail("--from, --to and --no-alarms go with --export");
    }
    cmd.strSize = ToArgument(parser.value(size));
    cmd.strPage = ToArgument(parser.value(page));
    cmd.bNoAlarms = parser.isSet(noAlarms);
    for (const auto& [pOption, pnSeconds] :
         {std::pair{&from, &cmd.nFromSeconds}, std::pair{&to, &cmd.nToSeconds}}) {
        if (parser.isSet(*pOption) &&
            !ParseClockTime(ToArgument(parser.value(*pOption)), pnSeconds)) {
            return Fail("bad time '" + ToArgument(parser.value(*pOption)) +
                        "': expected HH:MM or HH:MM:SS from 00:00 to 24:00");
        }
    }
    // A bound left out is that end of the day; the span must hold something either way.
    const int nFrom = cmd.nFromSeconds >= 0 ? cmd.nFromSeconds : 0;
    const int nTo = cmd.nToSeconds >= 0 ? cmd.nToSeconds : SECONDS_IN_DAY;
    if (nFrom >= nTo) {
        return Fail(cmd.nToSeconds < 0     ? "--from must come before 24:00, the day's end"
                    : cmd.nFromSeconds < 0 ? "--to must come after 00:00, the day's start"
                                           : "--from must come before --to");
    }
    return cmd;
}

bool ParseClockTime(const std::string& strText, int* pnSeconds) {
    // HH:MM or HH:MM:SS, two digits each.
    const bool bSeconds = strText.size() == 8;
    if ((strText.size() != 5 && !bSeconds) || strText[2] != ':' ||
        (bSeconds && strText[5] != ':')) {
        return false;
    }
    int nFields[3] = {0, 0, 0};
    for (int i = 0; i < (bSeconds ? 3 : 2); ++i) {
        const char c1 = strText[static_cast<std::size_t>(i) * 3];
        const char c2 = strText[static_cast<std::size_t>(i) * 3 + 1];
        if (c1 < '0' || c1 > '9' || c2 < '0' || c2 > '9') {
            return false;
        }
        nFields[i] = (c1 - '0') * 10 + (c2 - '0');
    }
    const int nSeconds = nFields[0] * 3600 + nFields[1] * 60 + nFields[2];
    if (nFields[1] > 59 || nFields[2] > 59 || nSeconds > SECONDS_IN_DAY) {
        return false;
    }
    *pnSeconds = nSeconds;
    return true;
}

std::string UsageText(const std::string& strProgram) {
    return "Usage: " + strProgram +
           " [FILE.vks]\n"
           "       " +
           strProgram +
           " --info FILE.vks\n"
           "       " +
           strProgram +
           " --export OUT.{png,svg,pdf} [--size WxH] [--page A4|Letter]\n"
           "                [--from HH:MM[:SS]] [--to HH:MM[:SS]] [--no-alarms] [--pg] FILE.vks\n"
           "       " +
           strProgram +
           " --export OUTDIR/ [--format png|svg|pdf] [options as above] DAY.vks...\n"
           "       " +
           strProgram +
           " --summary [--hourly] [--json] [--warning KV_M] [--alert KV_M] [--pg] PATH...\n"
           "       " +
           strProgram +
           " --archive [FOLDER]\n"
           "\n"
           "Quillon shows a day of electric-field readings from a field-mill data file.\n"
           "Without a file it asks for one.\n"
           "\n"
           "  --info FILE.vks     print the file's summary as JSON and exit\n"
           "  --export OUT FILE   write the chart to OUT without opening a window:\n"
           "                      .png or .svg as on screen, .pdf as the printed page\n"
           "  --size WxH          image size for .png and .svg (default 1200x800)\n"
           "  --page NAME         paper for .pdf: A4 or Letter (default from the locale)\n"
           "  --from, --to TIME   draw only that span of the day (HH:MM or HH:MM:SS)\n"
           "  --no-alarms         leave out the alarm levels kept in the settings\n"
           "  --export OUTDIR/ DAY.vks...\n"
           "                      draw each day into OUTDIR/<name>.png (or --format svg|pdf),\n"
           "                      all in one run on every core\n"
           "  --summary PATH...   one CSV row per day of the files and folders given, in date\n"
           "                      order, with a header; column names end in their unit (_kV_m,\n"
           "                      _s seconds, _pct per cent); times are local HH:MM:SS\n"
           "  --hourly            one row per hour of each day instead: readings, coverage,\n"
           "                      mean, standard deviation, min and max\n"
           "  --json              JSON lines with the same names instead of CSV\n"
           "  --warning, --alert KV_M\n"
           "                      the alarm levels for --summary (default: the settings')\n"
           "  --pg                readings as the potential gradient PG = -E in V/m (fair\n"
           "                      weather then reads about +100 V/m), for --export and\n"
           "                      --summary (columns _pg_V_m); the files are never changed\n"
           "  --archive [FOLDER]  open the overview of the days in FOLDER (default: the\n"
           "                      logging program's folder, else the current one)\n"
           "  --help              show this text\n"
           "  --version           show the version\n"
           "\n"
           "Bytes of a path that are not UTF-8 show as U+FFFD in --info's JSON.\n";
}
