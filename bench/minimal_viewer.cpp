// The fair floor for start-up: what a competent developer writes in an afternoon for the viewer's
// job, with nothing of the viewer's own. A main window with a File menu (Open, Print, Exit) and a
// Help menu reads the day named on its command line in one piece, keeps the time and value of each
// "HH:MM:SS,value" line, and paints the minimum and maximum of each pixel column with a framed
// plot, value and time-of-day labels and two axis titles. It opens where the viewer first opens
// (10, 10, 600 x 400), black, with the trace in pure cyan: what bench_first_frame looks for in
// both.
//
//   bench_minimal_viewer [DAY.vks]
//
// Its target takes the project's warning flags only, not its include path or libraries, so the
// gap between the viewer and this program is what the viewer's own design costs at start-up.

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {
constexpr int WINDOW_X = 10;
constexpr int WINDOW_Y = 10;
constexpr int WINDOW_WIDTH = 600;
constexpr int WINDOW_HEIGHT = 400;
constexpr int SECONDS_PER_DAY = 86400;
constexpr int TICK_LENGTH = 4;

struct CReading {
    int nSecond = 0; // of the day
    double dValue = 0.0;
};

struct CDay {
    std::vector<CReading> readings;
    int nSkipped = 0; // lines that are not HH:MM:SS,value
};

std::optional<CReading> ParseLine(const char* p, const char* pEnd) {
    int nHour = 0;
    int nMinute = 0;
    int nSecond = 0;
    const auto field = [&](int& n, char cAfter) {
        const auto [pNext, ec] = std::from_chars(p, pEnd, n);
        if (ec != std::errc{} || pNext == pEnd || *pNext != cAfter) {
            return false;
        }
        p = pNext + 1;
        return true;
    };
    if (!field(nHour, ':') || !field(nMinute, ':') || !field(nSecond, ',')) {
        return std::nullopt;
    }
    if (p < pEnd && *p == '+') {
        ++p;
    }
    double dValue = 0.0;
    const auto [pNext, ec] = std::from_chars(p, pEnd, dValue);
    if (ec != std::errc{} || !std::isfinite(dValue) || nHour < 0 || nHour > 23 || nMinute < 0 ||
        nMinute > 59 || nSecond < 0 || nSecond > 59) {
        return std::nullopt;
    }
    return CReading{nHour * 3600 + nMinute * 60 + nSecond, dValue};
}

struct CFileCloser {
    void operator()(std::FILE* pFile) const { std::fclose(pFile); }
};

// The whole file into memory (a full day in one read), then one pass over its lines (LF or CR LF);
// none when it cannot be read, with the reason in strError.
std::optional<CDay> ReadDay(const QString& strPath, QString& strError) {
    const std::unique_ptr<std::FILE, CFileCloser> pFile(
        std::fopen(QFile::encodeName(strPath).constData(), "rb"));
    std::string strText;
    size_t nUsed = 0;
    if (pFile) {
        // Doubling reads rather than asking for the size: a directory or a pipe has none to give.
        do {
            strText.resize(std::max<size_t>(2 * nUsed, size_t{1} << 22));
            nUsed += std::fread(strText.data() + nUsed, 1, strText.size() - nUsed, pFile.get());
        } while (nUsed == strText.size());
        strText.resize(nUsed);
    }
    if (!pFile || std::ferror(pFile.get())) {
        strError = QString::fromLocal8Bit(std::strerror(errno));
        return std::nullopt;
    }
    CDay day;
    day.readings.reserve(strText.size() / 16);
    const char* p = strText.data();
    const char* const pTextEnd = p + strText.size();
    while (p < pTextEnd) {
        const auto* pFound = static_cast<const char*>(std::memchr(p, '\n', pTextEnd - p));
        const char* pLineEnd = pFound != nullptr ? pFound : pTextEnd;
        if (const std::optional<CReading> reading = ParseLine(p, pLineEnd)) {
            day.readings.push_back(*reading);
        } else if (pLineEnd > p && !(pLineEnd - p == 1 && *p == '\r')) {
            ++day.nSkipped; // blank lines are not counted
        }
        p = pLineEnd + 1;
    }
    return day;
}

// 1, 2 or 5 times a power of ten: the smallest such step at least dLeast.
double NiceStep(double dLeast) {
    const double dPower = std::pow(10.0, std::floor(std::log10(dLeast)));
    for (const double dMultiple : {1.0, 2.0, 5.0}) {
        if (dMultiple * dPower >= dLeast) {
            return dMultiple * dPower;
        }
    }
    return 10.0 * dPower;
}

class CDayPlot : public QWidget {
public:
    void SetDay(CDay day) {
        m_day = std::move(day);
        m_dLimit = 1.0;
        for (const CReading& reading : m_day.readings) {
            m_dLimit = std::max(m_dLimit, std::ceil(std::abs(reading.dValue)));
        }
        update();
    }

    // The screen and the printed page alike; bPaper turns it black on white.
    void Draw(QPainter& painter, const QRect& rc, bool bPaper) const {
        const QColor crInk = bPaper ? Qt::black : Qt::white;
        painter.fillRect(rc, bPaper ? Qt::white : Qt::black);
        painter.setPen(QPen(crInk, 0));
        const QFontMetrics metrics = painter.fontMetrics();
        const int nText = metrics.height();
        const QString strValueTitle = QStringLiteral("Field (kV/m)");
        const QString strTimeTitle = QStringLiteral("Time of day");
        // Value labels at least two text lines apart, which sets their step; their widest sets
        // the left margin.
        const int nTop = nText;
        const int nBottom = 2 * nText + TICK_LENGTH;
        const int nPlotHeight = rc.height() - nTop - nBottom;
        if (nPlotHeight < 2) {
            return;
        }
        const double dValueStep = NiceStep(2 * m_dLimit * 2 * nText / nPlotHeight);
        std::vector<std::pair<double, QString>> valueLabels;
        int nValueWidth = 0;
        for (double dValue = -std::floor(m_dLimit / dValueStep) * dValueStep;
             dValue <= m_dLimit + 1e-9; dValue += dValueStep) {
            const double dShown = std::abs(dValue) < 1e-9 ? 0.0 : dValue;
            valueLabels.emplace_back(dShown, QString::number(dShown));
            nValueWidth =
                std::max(nValueWidth, metrics.horizontalAdvance(valueLabels.back().second));
        }
        const QRect rcPlot =
            rc.adjusted(nText + nValueWidth + 2 * TICK_LENGTH, nTop,
                        -metrics.horizontalAdvance(QStringLiteral("00:00")) / 2 - 2, -nBottom);
        if (rcPlot.width() < 2) {
            return;
        }
        const auto yOf = [&](double dValue) {
            return rcPlot.bottom() - (dValue + m_dLimit) / (2 * m_dLimit) * (rcPlot.height() - 1);
        };
        const auto xOf = [&](int nSecond) {
            return rcPlot.left() +
                   static_cast<long long>(nSecond) * (rcPlot.width() - 1) / SECONDS_PER_DAY;
        };
        painter.drawRect(rcPlot.adjusted(0, 0, -1, -1));

        for (const auto& [dValue, strLabel] : valueLabels) {
            const int y = static_cast<int>(std::lround(yOf(dValue)));
            painter.drawLine(rcPlot.left() - TICK_LENGTH, y, rcPlot.left(), y);
            painter.drawText(
                QRect(rc.left() + nText, y - nText / 2, nValueWidth + TICK_LENGTH, nText),
                Qt::AlignRight | Qt::AlignVCenter, strLabel);
        }
        const int nLabel = metrics.horizontalAdvance(QStringLiteral("00:00")) * 3 / 2;
        int nHours = 1;
        for (const int nStep : {1, 2, 3, 6, 12, 24}) {
            nHours = nStep;
            if (rcPlot.width() * nStep / 24 >= nLabel) {
                break;
            }
        }
        for (int nHour = 0; nHour <= 24; nHour += nHours) {
            const int x = static_cast<int>(xOf(nHour * 3600));
            painter.drawLine(x, rcPlot.bottom(), x, rcPlot.bottom() + TICK_LENGTH);
            painter.drawText(QRect(x - nLabel / 2, rcPlot.bottom() + TICK_LENGTH, nLabel, nText),
                             Qt::AlignCenter,
                             QStringLiteral("%1:00").arg(nHour, 2, 10, QChar('0')));
        }
        painter.drawText(QRect(rcPlot.left(), rc.bottom() - nText, rcPlot.width(), nText),
                         Qt::AlignCenter, strTimeTitle);
        painter.save();
        painter.translate(rc.left(), rcPlot.center().y());
        painter.rotate(-90);
        painter.drawText(QRect(-rcPlot.height() / 2, 0, rcPlot.height(), nText), Qt::AlignCenter,
                         strValueTitle);
        painter.restore();

        // Lowest and highest reading of each column, joined column to column, so spikes survive.
        std::vector<double> lows(rcPlot.width(), std::numeric_limits<double>::infinity());
        std::vector<double> highs(rcPlot.width(), -std::numeric_limits<double>::infinity());
        for (const CReading& reading : m_day.readings) {
            const auto nColumn = static_cast<size_t>(xOf(reading.nSecond) - rcPlot.left());
            lows[nColumn] = std::min(lows[nColumn], reading.dValue);
            highs[nColumn] = std::max(highs[nColumn], reading.dValue);
        }
        QPolygonF trace;
        for (size_t i = 0; i < lows.size(); ++i) {
            if (lows[i] <= highs[i]) {
                trace << QPointF(rcPlot.left() + static_cast<double>(i), yOf(lows[i]))
                      << QPointF(rcPlot.left() + static_cast<double>(i), yOf(highs[i]));
            }
        }
        painter.setClipRect(rcPlot);
        painter.setPen(QPen(bPaper ? Qt::black : Qt::cyan, 0));
        painter.drawPolyline(trace);
        painter.setClipping(false);
    }

protected:
    void paintEvent(QPaintEvent* /*pEvent*/) override {
        QPainter painter(this);
        Draw(painter, rect(), false);
    }

private:
    CDay m_day;
    double m_dLimit = 1.0; // the value axis runs from -m_dLimit to m_dLimit
};

class CMinimalViewer : public QMainWindow {
public:
    CMinimalViewer() {
        setCentralWidget(m_pPlot);
        QMenu* pFile = menuBar()->addMenu(QStringLiteral("&File"));
        pFile->addAction(QStringLiteral("&Open..."), QKeySequence::Open, this,
                         &CMinimalViewer::Open);
        pFile->addAction(QStringLiteral("&Print..."), QKeySequence::Print, this,
                         &CMinimalViewer::Print);
        pFile->addSeparator();
        pFile->addAction(QStringLiteral("E&xit"), QKeySequence::Quit, this, &QWidget::close);
        QMenu* pHelp = menuBar()->addMenu(QStringLiteral("&Help"));
        pHelp->addAction(QStringLiteral("&About..."), this, [this] {
            QMessageBox::about(this, QStringLiteral("About"),
                               QStringLiteral("A minimal field-mill day viewer."));
        });
        setWindowTitle(QStringLiteral("Minimal viewer"));
    }

    // False, with the reason in strError, when the file cannot be read; the day shown is kept.
    bool Load(const QString& strPath, QString& strError) {
        std::optional<CDay> day = ReadDay(strPath, strError);
        if (!day) {
            strError = QStringLiteral("Cannot read %1: %2").arg(strPath, strError);
            return false;
        }
        if (day->nSkipped > 0) {
            std::fprintf(stderr, "%s: %d lines skipped, not HH:MM:SS,value\n", qPrintable(strPath),
                         day->nSkipped);
        }
        m_pPlot->SetDay(std::move(*day));
        setWindowTitle(QStringLiteral("Minimal viewer - %1").arg(strPath));
        return true;
    }

private:
    void Open() {
        const QString strPath =
            QFileDialog::getOpenFileName(this, QStringLiteral("Open"), QString(),
                                         QStringLiteral("Field-mill days (*.vks);;All files (*)"));
        QString strError;
        if (!strPath.isEmpty() && !Load(strPath, strError)) {
            QMessageBox::warning(this, QStringLiteral("Open"), strError);
        }
    }

    void Print() {
        QPrinter printer;
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() != QDialog::Accepted) {
            return;
        }
        QPainter painter;
        if (!painter.begin(&printer)) {
            QMessageBox::warning(this, QStringLiteral("Print"),
                                 QStringLiteral("The printer cannot be started."));
            return;
        }
        m_pPlot->Draw(painter, painter.viewport(), true);
    }

    CDayPlot* m_pPlot = new CDayPlot; // owned by the window once it is the central widget
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CMinimalViewer window;
    const QStringList args = QApplication::arguments();
    QString strError;
    if (args.size() > 1 && !window.Load(args.at(1), strError)) {
        std::fprintf(stderr, "%s\n", qPrintable(strError));
        return 1;
    }
    window.move(WINDOW_X, WINDOW_Y);
    window.resize(WINDOW_WIDTH, WINDOW_HEIGHT);
    window.show();
    return QApplication::exec();
}
