#pragma once
// Writes the printed page to a PDF file: the same job as File > Print, on a PDF printer instead
// of the one chosen in the Print dialog. The file appears whole or not at all
// (platform/AtomicFile.h).

#include "platform/Outcome.h"

#include <string>

class CStrip;

enum class EPaper { A4, Letter };
enum class EPageOrientation { Portrait, Landscape };

// The paper of the user's locale: Letter where US customary measures are used, A4 elsewhere.
[[nodiscard]] EPaper DefaultPaperForLocale();
// "A4" or "Letter" (any case). False for anything else.
[[nodiscard]] bool ParsePaperName(const std::string& strName, EPaper* pePaper);

// Prints chart (already holding its data and display settings) with strCaption on one page.
// On failure strOutPath is as it was and nothing is left beside it.
COutcome ExportChartPage(CStrip& chart, const std::string& strCaption,
                         const std::string& strOutPath, EPaper ePaper,
                         EPageOrientation eOrientation = EPageOrientation::Portrait);
