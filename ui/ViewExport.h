#pragma once
// File > Export... and Edit > Copy chart: the view in the window written out through the same
// code as `quillon --export`: .png and .svg as on screen (chart/ChartExport.h), .pdf as the
// printed page (print/PageExport.h), and the readings in view as text (data/FieldWriter.h), in
// the logger's own line format (.vks) or as a time,value table (.csv).

#include "platform/Outcome.h"
#include "print/PageExport.h"

#include <optional>
#include <string>

class CDayDocument;
class CStrip;
class CStripChart;

// What File > Export... writes for a name, by its suffix; Unknown for any other name.
enum class EViewExport { Unknown, Png, Svg, Pdf, LoggerLines, Table };
[[nodiscard]] EViewExport ViewExportKindOf(const std::string& strPath);

// Asks where to export, starting in the day's folder with its name; nothing when cancelled.
[[nodiscard]] std::optional<std::string> ChooseExportFile(const std::string& strDayPath);

struct CViewExportSource {
    CStrip& strip;            // the window's chart, through its wrapper (the page prints it)
    const CStripChart& chart; // its state and size on screen
    const CDayDocument& day;  // the readings and the path
    EPageOrientation eOrientation = EPageOrientation::Portrait;
};

// Writes the view to strPath whole or not at all; the message says why not.
COutcome ExportView(const CViewExportSource& source, const std::string& strPath);

// Puts the chart, as in view, on the clipboard as an image of its size on screen.
COutcome CopyChartImage(const CStripChart& chart);
