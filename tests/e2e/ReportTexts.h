#ifndef SURVEY_TESTS_E2E_REPORTTEXTS_H_
#define SURVEY_TESTS_E2E_REPORTTEXTS_H_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Expected texts of the reports, shared by the unit tests of their writers and
// the end-to-end tests of whole runs. Defined in DecodedRun_testutil.cc.

// The character histogram report with the given code lines ("193\t65\tA\t2").
std::string histogramReport(const std::vector<std::string>& codeLines, std::uint32_t nonPrintable);

// The summary's six key lines, four type key lines and column header.
std::string summaryKey();
// A field expansion section; each row is lb, ub, size, cf, e.lb, e.ub, e.s.
std::string fieldExpansionTable(const std::vector<std::array<std::uint32_t, 7>>& rows);

#endif  // SURVEY_TESTS_E2E_REPORTTEXTS_H_
