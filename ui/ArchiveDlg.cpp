#include "ui/ArchiveDlg.h"

#include "doc/SummaryTable.h"
#include "platform/AtomicFile.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "settings/ViewOptions.h"
#include "ui/ArchiveCalendar.h"
#include "ui/ArchiveModel.h"
#include "ui/ChooseDataFile.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include <filesystem>
#include <set>
#include <system_error>

namespace {
// A day still being logged changes every few seconds: its cache is written at most this often.
constexpr qint64 CACHE_SAVE_INTERVAL_MS = 60 * 1000;

CArchiveDay WaitingDay(const CDayFile& file) {
    CArchiveDay day;
    day.file = file;
    return day;
}

QString FromUtf8(const std::string& str) {
    return QString::fromUtf8(str.data(), static_cast<qsizetype>(str.size()));
}
} // namespace

CSummaryLevels SummaryLevelsFromSettings() {
    CViewOptions options;
    options.Load();
    return LevelsOfRule(AlarmRuleOf(options));
}

CFieldUnit FieldUnitFromSettings() {
    CViewOptions options;
    options.Load();
    return {options.m_bPotentialGradient};
}

std::string DefaultArchiveFolder(const std::string& strDayInView) {
    if (!strDayInView.empty()) {
        return FolderOfFile(strDayInView);
    }
    if (std::string strLogging = LoggingDataFolder(); !strLogging.empty()) {
        return strLogging;
    }
    std::error_code ec;
    const std::filesystem::path current = std::filesystem::current_path(ec);
    return ec ? std::string(".") : current.string();
}

void CArchiveDlg::SetUnit(const CFieldUnit& unit) {
    m_context.unit = unit;
    m_pModel->SetUnit(unit);
}

CArchiveDlg::CArchiveDlg(CArchiveContext context, QWidget* pParent)
    : QWidget(pParent, Qt::Window), m_context(std::move(context)) {
    setWindowTitle(QStringLiteral("Archive overview \u2013 ") + FromUtf8(m_context.strFolder));
    setAttribute(Qt::WA_QuitOnClose, false);
    m_pModel = new CArchiveModel(this);
    m_pModel->SetLevels(m_context.levels);
    m_pModel->SetUnit(m_context.unit);
    BuildWidgets();
    m_poll.setInterval(m_context.nPollMs);
    connect(&m_poll, &QTimer::timeout, this, [this] { Poll(); });
    ListFolder();
    m_pCalendar->setFocus();
    // The calendar whole when it is a year or so; beyond, it scrolls.
    const int nCalendar = std::min(m_pCalendar->sizeHint().height() + 2, height() * 11 / 20);
    m_pSplitter->setSizes({nCalendar, height() - nCalendar});
}

CArchiveDlg::~CArchiveDlg() {
    // No worker may post to a window that is going.
    m_scan.Cancel();
    m_scan.Wait();
    if (m_bCacheDirty && !AnyWaiting()) {
        SaveCache();
    }
}

void CArchiveDlg::BuildWidgets() {
    m_pFolderLabel = new QLabel(FromUtf8(m_context.strFolder), this);
    m_pFolderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pProgress = new QProgressBar(this);
    m_pProgress->setFormat(QStringLiteral("Reading days: %v of %m"));
    m_pProgress->setMinimumWidth(220);
    m_pCancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(m_pCancel, &QPushButton::clicked, this,
            [this] { m_bScanning ? CancelScan() : ResumeScan(); });
    auto* pTop = new QHBoxLayout;
    pTop->addWidget(new QLabel(QStringLiteral("Folder:"), this));
    pTop->addWidget(m_pFolderLabel, 1);
    pTop->addWidget(m_pProgress);
    pTop->addWidget(m_pCancel);

    m_pCalendar = new CArchiveCalendar(m_pModel, this);
    m_pCalendarArea = new QScrollArea(this);
    m_pCalendarArea->setWidget(m_pCalendar);
    m_pCalendarArea->setWidgetResizable(true);
    m_pCalendarArea->setMinimumWidth(m_pCalendar->sizeHint().width() + 24);
    m_pCalendarArea->setFrameShape(QFrame::NoFrame);
    m_pCalendar->SetOnOpen([this](int nRow) { OpenRow(nRow); });
    m_pCalendar->SetOnCurrent([this](int nRow) {
        if (nRow >= 0) {
            SelectRow(nRow);
        }
        if (const QRect rc = m_pCalendar->CurrentCell(); !rc.isEmpty()) {
            m_pCalendarArea->ensureVisible(rc.center().x(), rc.center().y(), rc.width(),
                                           rc.height());
        }
    });

    m_pProxy = new QSortFilterProxyModel(this);
    m_pProxy->setSourceModel(m_pModel);
    m_pProxy->setSortRole(CArchiveModel::SORT_ROLE);
    m_pTable = new QTableView(this);
    m_pTable->setModel(m_pProxy);
    m_pTable->setSortingEnabled(true);
    m_pTable->sortByColumn(CArchiveModel::COL_DATE, Qt::DescendingOrder);
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->verticalHeader()->hide();
    m_pTable->setAlternatingRowColors(true);
    m_pTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Enter and a double-click alike.
    connect(m_pTable, &QAbstractItemView::activated, this,
            [this](const QModelIndex& index) { OpenRow(m_pProxy->mapToSource(index).row()); });
    connect(m_pTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) {
                    m_pCalendar->SetCurrentRow(m_pProxy->mapToSource(current).row());
                }
            });
    auto* pCopyKey = new QShortcut(QKeySequence::Copy, m_pTable);
    pCopyKey->setContext(Qt::WidgetShortcut);
    connect(pCopyKey, &QShortcut::activated, this, [this] { CopySelection(); });

    // The calendar above, as tall as a year or two; the table's many columns below, full width.
    m_pSplitter = new QSplitter(Qt::Vertical, this);
    m_pSplitter->addWidget(m_pCalendarArea);
    m_pSplitter->addWidget(m_pTable);
    m_pSplitter->setStretchFactor(0, 0);
    m_pSplitter->setStretchFactor(1, 1);
    m_pSplitter->setChildrenCollapsible(false);

    m_pStatus = new QLabel(this);
    auto* pCopy = new QPushButton(QStringLiteral("&Copy"), this);
    pCopy->setToolTip(QStringLiteral("Copy the selected rows as CSV (Ctrl+C in the table)"));
    connect(pCopy, &QPushButton::clicked, this, [this] { CopySelection(); });
    auto* pExport = new QPushButton(QStringLiteral("&Export table as CSV..."), this);
    connect(pExport, &QPushButton::clicked, this, [this] { AskExportCsv(); });
    auto* pClose = new QPushButton(QStringLiteral("Close"), this);
    connect(pClose, &QPushButton::clicked, this, [this] { close(); });
    auto* pEscape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(pEscape, &QShortcut::activated, this, [this] { close(); });
    auto* pBottom = new QHBoxLayout;
    pBottom->addWidget(m_pStatus, 1);
    pBottom->addWidget(pCopy);
    pBottom->addWidget(pExport);
    pBottom->addWidget(pClose);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pTop);
    pLayout->addWidget(m_pSplitter, 1);
    pLayout->addLayout(pBottom);
    resize(1100, 860);
}

void CArchiveDlg::ListFolder() {
    std::vector<CDayFile> files;
    const COutcome listed = ListDayFiles(m_context.strFolder, &files);
    m_strListError = listed.Ok() ? std::string() : listed.Error();
    if (!m_context.strCacheFolder.empty()) {
        m_cache.Load(m_context.strCacheFolder, m_context.strFolder, m_context.levels);
    }
    // What the cache still vouches for is there at once; the rest is read.
    std::vector<CArchiveDay> days;
    std::size_t nKnown = 0;
    for (const CDayFile& file : files) {
        CArchiveDay day = WaitingDay(file);
        if (const CDaySummary* pKnown =
                file.bExists ? m_cache.Find(file.strName, file.nSize, file.nModified) : nullptr) {
            day.eState = CArchiveDay::EState::Read;
            day.summary = *pKnown;
            ++nKnown;
        } else {
            m_queue.push_back(file);
        }
        days.push_back(std::move(day));
    }
    m_pModel->SetDays(std::move(days));
    if (m_pModel->rowCount() > 0) {
        SelectRow(m_pCalendar->CurrentRow() >= 0 ? m_pCalendar->CurrentRow() : 0);
    }
    m_bCacheDirty = nKnown != m_cache.Size(); // it keeps days that are gone or changed
    StartScan();
    UpdateStatus();
}

void CArchiveDlg::StartScan() {
    if (m_bScanning || m_queue.empty() || m_bUserCancelled) {
        return;
    }
    std::vector<CDayFile> files = std::move(m_queue);
    m_queue.clear();
    m_bScanning = true;
    m_nScanDone = 0;
    m_nScanTotal = static_cast<int>(files.size());
    const int nGeneration = ++m_nGeneration;
    // The workers post what they find to this window's thread; the window waits for them before
    // it goes, so every post finds it.
    m_scan.Start(
        std::move(files), m_context.levels, m_context.nWorkers,
        [this, nGeneration](CDayScan scan) {
            QMetaObject::invokeMethod(
                this,
                [this, nGeneration, scan = std::move(scan)] { OnDayScanned(nGeneration, scan); },
                Qt::QueuedConnection);
        },
        [this, nGeneration](bool bCancelled) {
            QMetaObject::invokeMethod(
                this, [this, nGeneration, bCancelled] { OnScanEnded(nGeneration, bCancelled); },
                Qt::QueuedConnection);
        });
    UpdateStatus();
}

void CArchiveDlg::OnDayScanned(int nGeneration, const CDayScan& scan) {
    if (nGeneration != m_nGeneration) {
        return;
    }
    ++m_nScanDone;
    if (m_pModel->TakeScan(scan) && scan.bRead) {
        m_cache.Put(scan.file.strName, scan.file.nSize, scan.file.nModified, scan.summary);
        m_bCacheDirty = true;
    }
    UpdateStatus();
}

void CArchiveDlg::OnScanEnded(int nGeneration, bool bCancelled) {
    if (nGeneration != m_nGeneration) {
        return;
    }
    m_bScanning = false;
    if (!bCancelled) {
        StartScan(); // what changed meanwhile
    }
    // Only a folder read whole is kept: a cancelled scan leaves the cache as it was.
    if (!m_bScanning && m_bCacheDirty && !AnyWaiting() &&
        (!m_sinceSave.isValid() || m_sinceSave.elapsed() >= CACHE_SAVE_INTERVAL_MS)) {
        SaveCache();
    }
    UpdateStatus();
}

void CArchiveDlg::CancelScan() {
    m_bUserCancelled = true;
    m_queue.clear();
    m_scan.Cancel();
    UpdateStatus();
}

void CArchiveDlg::ResumeScan() {
    m_bUserCancelled = false;
    m_queue.clear();
    for (const CArchiveDay& day : m_pModel->Days()) {
        if (day.eState == CArchiveDay::EState::Waiting) {
            m_queue.push_back(day.file);
        }
    }
    StartScan();
    UpdateStatus();
}

bool CArchiveDlg::AnyWaiting() const {
    for (const CArchiveDay& day : m_pModel->Days()) {
        if (day.eState == CArchiveDay::EState::Waiting) {
            return true;
        }
    }
    return false;
}

void CArchiveDlg::Poll() {
    std::vector<CDayFile> files;
    const COutcome listed = ListDayFiles(m_context.strFolder, &files);
    if (!listed.Ok()) {
        m_strListError = listed.Error(); // the days read stay on show
        UpdateStatus();
        return;
    }
    m_strListError.clear();
    std::set<std::string> present;
    for (const CDayFile& file : files) {
        present.insert(file.strPath);
        const int nRow = m_pModel->RowOfPath(file.strPath);
        if (nRow < 0) {
            m_pModel->AddDay(WaitingDay(file));
            m_queue.push_back(file);
        } else if (!m_pModel->Day(nRow).file.SameState(file)) {
            m_pModel->SetWaiting(nRow, file);
            m_queue.push_back(file);
        }
    }
    for (int nRow = m_pModel->rowCount() - 1; nRow >= 0; --nRow) {
        if (present.count(m_pModel->Day(nRow).file.strPath) == 0) {
            m_pModel->RemoveDay(nRow);
            m_bCacheDirty = true;
        }
    }
    StartScan();
    UpdateStatus();
}

void CArchiveDlg::SaveCache() {
    if (m_context.strCacheFolder.empty()) {
        m_bCacheDirty = false;
        return;
    }
    std::vector<std::string> names;
    for (const CArchiveDay& day : m_pModel->Days()) {
        names.push_back(day.file.strName);
    }
    m_cache.Retain(names);
    const COutcome saved =
        m_cache.Save(m_context.strCacheFolder, m_context.strFolder, m_context.levels);
    m_sinceSave.start();
    m_bCacheDirty = !saved.Ok();
    if (!saved.Ok()) {
        m_strListError = "The summaries could not be kept for next time: " + saved.Error();
    }
}

void CArchiveDlg::OpenRow(int nRow) {
    if (nRow >= 0 && nRow < m_pModel->rowCount() && m_onOpenDay) {
        m_onOpenDay(m_pModel->Day(nRow).file.strPath);
    }
}

void CArchiveDlg::SelectRow(int nRow) {
    const QModelIndex index = m_pProxy->mapFromSource(m_pModel->index(nRow, 0));
    if (!index.isValid()) {
        return;
    }
    m_pTable->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                           QItemSelectionModel::Rows);
    m_pTable->scrollTo(index);
}

void CArchiveDlg::UpdateStatus() {
    int nUnreadable = 0;
    int nWaiting = 0;
    int nUndated = 0;
    for (const CArchiveDay& day : m_pModel->Days()) {
        nUnreadable += day.eState == CArchiveDay::EState::Unreadable ? 1 : 0;
        nWaiting += day.eState == CArchiveDay::EState::Waiting ? 1 : 0;
        nUndated += day.file.date ? 0 : 1;
    }
    QStringList parts;
    parts << QStringLiteral("%1 day files").arg(m_pModel->rowCount());
    if (nUndated > 0) {
        parts << QStringLiteral("%1 without a date in the name").arg(nUndated);
    }
    if (nUnreadable > 0) {
        parts << QStringLiteral("%1 unreadable").arg(nUnreadable);
    }
    if (nWaiting > 0 && !m_bScanning) {
        parts << QStringLiteral("%1 not read (Resume reads them)").arg(nWaiting);
    }
    QString strStatus = parts.join(QStringLiteral(", "));
    if (!m_strListError.empty()) {
        strStatus = FromUtf8(m_strListError) + QStringLiteral(" \u2013 ") + strStatus;
    }
    m_pStatus->setText(strStatus);
    m_pProgress->setVisible(m_bScanning);
    m_pProgress->setRange(0, std::max(m_nScanTotal, 1));
    m_pProgress->setValue(m_nScanDone);
    m_pCancel->setText(m_bScanning ? QStringLiteral("Cancel") : QStringLiteral("Resume"));
    m_pCancel->setVisible(m_bScanning || nWaiting > 0);
}

std::string CArchiveDlg::TableCsv(bool bSelectedOnly) const {
    std::string str = DayCsvHeader(m_pModel->Unit()) + "\n";
    const QItemSelectionModel* pSelection = m_pTable->selectionModel();
    for (int nProxyRow = 0; nProxyRow < m_pProxy->rowCount(); ++nProxyRow) {
        const QModelIndex index = m_pProxy->index(nProxyRow, 0);
        if (bSelectedOnly && !pSelection->isRowSelected(nProxyRow, QModelIndex())) {
            continue;
        }
        const CArchiveDay& day = m_pModel->Day(m_pProxy->mapToSource(index).row());
        if (day.eState != CArchiveDay::EState::Read) {
            continue;
        }
        CDayScan scan;
        scan.file = day.file;
        scan.bRead = true;
        scan.summary = day.summary;
        str += DayRow(ESummaryFormat::Csv, scan, m_context.levels, m_pModel->Unit()) + "\n";
    }
    return str;
}

COutcome CArchiveDlg::ExportCsv(const std::string& strPath) const {
    return WriteFileAtomically(strPath, TableCsv(false));
}

void CArchiveDlg::CopySelection() {
    QApplication::clipboard()->setText(QString::fromStdString(TableCsv(true)));
}

void CArchiveDlg::AskExportCsv() {
    CFileDialog dlg(FALSE, "csv", "archive.csv", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    "CSV table (*.csv)|*.csv||");
    dlg.m_ofn.hwndOwner = this;
    dlg.m_ofn.lpstrTitle = "Export table as CSV";
    if (dlg.DoModal() != IDOK) {
        return;
    }
    if (const COutcome written = ExportCsv(dlg.GetPathName()); !written.Ok()) {
        AfxMessageBox(written.Error(), MB_OK | MB_ICONEXCLAMATION);
    }
}

void CArchiveDlg::closeEvent(QCloseEvent* pEvent) {
    QWidget::closeEvent(pEvent);
    if (pEvent->isAccepted() && m_onClose) {
        m_onClose();
    }
}

void CArchiveDlg::showEvent(QShowEvent* pEvent) {
    QWidget::showEvent(pEvent);
    if (!m_poll.isActive() && m_context.nPollMs > 0) {
        m_poll.start();
    }
}

void CArchiveDlg::hideEvent(QHideEvent* pEvent) {
    QWidget::hideEvent(pEvent);
    m_poll.stop();
}
