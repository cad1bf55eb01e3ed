#pragma once
// The builders of the exported reports, one per family: each writes its headings and rows into
// the sink and ticks once per row.
#include "printouts/report_context.h"
#include "printouts/report_sink.h"
#include "printouts/report_ticker.h"

namespace korventa::printouts {

// Reports 20 to 24: concept amounts by group (concept_reports.cpp).
void conceptReport(Ctx& c, int number, ReportSink& sink, Ticker& tick);
// Report 26: sums by group (concept_reports.cpp).
void report26(Ctx& c, ReportSink& sink, Ticker& tick);
// Report 25: bases and contributions (bases_report.cpp).
void report25(Ctx& c, ReportSink& sink, Ticker& tick);
// Report 28: days, hours and SCTR (worker_reports.cpp).
void report28(Ctx& c, ReportSink& sink, Ticker& tick);
// Reports 29 and 30: days not worked, subsidised periods (worker_reports.cpp).
void suspensions(Ctx& c, int number, ReportSink& sink, Ticker& tick);
// Reports 31 and 35: establishments of workers and trainees (worker_reports.cpp).
void establishments(Ctx& c, int number, ReportSink& sink, Ticker& tick);
// Report 32: fourth-category receipts (provider_reports.cpp).
void report32(Ctx& c, ReportSink& sink, Ticker& tick);
// Report 33: trainees (provider_reports.cpp).
void report33(Ctx& c, ReportSink& sink, Ticker& tick);
// Report 34: personnel of third parties (provider_reports.cpp).
void report34(Ctx& c, ReportSink& sink, Ticker& tick);

}  // namespace korventa::printouts
