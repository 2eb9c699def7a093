#include "app/SummaryCommand.h"

#include "app/CommandLine.h"
#include "doc/ArchiveScan.h"
#include "doc/SummaryCache.h"
#include "doc/SummaryTable.h"
#include "settings/ViewOptions.h"

#include <QStandardPaths>

#include <filesystem>
#include <map>
#include <ostream>
#include <set>
#include <system_error>
#include <vector>

namespace {
// A folder's cache, and what this run learnt for it.
struct CFolderCache {
    CSummaryCache cache;
    bool bLoaded = false;
    bool bChanged = false;
    bool bListed = false; // the folder was given whole: files no longer in it are forgotten
    std::vector<std::string> listed;
};

CSummaryLevels LevelsFor(const CCommandLine& cmd) {
    CViewOptions options;
    options.Load();
    CAlarmRule rule = AlarmRuleOf(options);
    rule.dWarning = cmd.dWarning >= 0.0 ? cmd.dWarning : rule.dWarning;
    rule.dAlert = cmd.dAlert >= 0.0 ? cmd.dAlert : rule.dAlert;
    return LevelsOfRule(rule);
}

bool IsFolder(const std::string& strPath) {
    std::error_code ec;
#ifdef _WIN32
    return std::filesystem::is_directory(
        std::filesystem::path(std::u8string(strPath.begin(), strPath.end())), ec);
#else
    return std::filesystem::is_directory(strPath, ec);
#endif
}
} // namespace

std::string SummaryCacheFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation).toStdString();
}

int RunSummaryCommand(const CCommandLine& cmd, const std::string& strCacheFolder, std::ostream& out,
                      std::ostream& err) {
    const CSummaryLevels levels = LevelsFor(cmd);
    bool bFailed = false;

    // The files named and those of the folders named, each once.
    std::vector<CDayFile> files;
    std::set<std::string> seen;
    std::map<std::string, CFolderCache> folders;
    auto add = [&](CDayFile file) {
        if (seen.insert(CanonicalFolder(file.strPath)).second) {
            files.push_back(std::move(file));
        }
    };
    for (const std::string& strPath : cmd.files) {
        if (!IsFolder(strPath)) {
            add(DayFileOf(strPath));
            continue;
        }
        std::vector<CDayFile> listed;
        if (const COutcome outcome = ListDayFiles(strPath, &listed); !outcome.Ok()) {
            err << "quillon: " << outcome.Error() << "\n";
            bFailed = true;
            continue;
        }
        CFolderCache& folder = folders[CanonicalFolder(strPath)];
        folder.bListed = true;
        for (CDayFile& file : listed) {
            folder.listed.push_back(file.strName);
            add(std::move(file));
        }
    }
    SortDayFiles(files);

    // What the caches know is taken as it is; the rest is read, on every core.
    std::vector<CDayScan> days(files.size());
    std::vector<CDayFile> toRead;
    std::vector<std::size_t> toReadAt;
    std::vector<CFolderCache*> folderOf(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string strFolder = CanonicalFolder(FolderOfFile(files[i].strPath));
        CFolderCache& folder = folders[strFolder];
        if (!folder.bLoaded && !strCacheFolder.empty()) {
            folder.cache.Load(strCacheFolder, strFolder, levels);
        }
        folder.bLoaded = true;
        folderOf[i] = &folder;
        days[i].file = files[i];
        const CDaySummary* pKnown =
            files[i].bExists
                ? folder.cache.Find(files[i].strName, files[i].nSize, files[i].nModified)
                : nullptr;
        if (pKnown != nullptr) {
            days[i].bRead = true;
            days[i].summary = *pKnown;
        } else {
            toRead.push_back(files[i]);
            toReadAt.push_back(i);
        }
    }
    std::vector<CDayScan> read = ScanDays(toRead, levels);
    for (std::size_t k = 0; k < read.size(); ++k) {
        const std::size_t i = toReadAt[k];
        days[i] = std::move(read[k]);
        if (days[i].bRead) {
            folderOf[i]->cache.Put(days[i].file.strName, days[i].file.nSize, days[i].file.nModified,
                                   days[i].summary);
            folderOf[i]->bChanged = true;
        }
    }
    if (!strCacheFolder.empty()) {
        // A cache that cannot be written costs the next run time, never this run's rows.
        for (auto& [strFolder, folder] : folders) {
            if (folder.bListed) {
                const std::size_t nBefore = folder.cache.Size();
                folder.cache.Retain(folder.listed);
                folder.bChanged = folder.bChanged || folder.cache.Size() != nBefore;
            }
            if (folder.bChanged) {
                (void)folder.cache.Save(strCacheFolder, strFolder, levels);
            }
        }
    }

    const ESummaryFormat eFormat = cmd.bJson ? ESummaryFormat::JsonLines : ESummaryFormat::Csv;
    const CFieldUnit unit{cmd.bPotentialGradient};
    if (eFormat == ESummaryFormat::Csv) {
        out << (cmd.bHourly ? HourCsvHeader(unit) : DayCsvHeader(unit)) << "\n";
    }
    for (const CDayScan& day : days) {
        if (!day.bRead) {
            err << "quillon: " << day.strError << "\n";
            bFailed = true;
        } else if (cmd.bHourly) {
            out << HourRows(eFormat, day, unit);
        } else {
            out << DayRow(eFormat, day, levels, unit) << "\n";
        }
    }
    out.flush();
    return bFailed ? 1 : 0;
}
