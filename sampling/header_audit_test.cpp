#include "sampling/header_audit.h"

#include <gtest/gtest.h>

namespace sampling {
namespace {

constexpr CivilDate kToday{2010, 11, 5};

class HeaderAuditTest : public ::testing::Test {
 protected:
  // A header that passes: every required field set, cubic factors given.
  TextRow header_{{{"SALE", "Bear Creek"},
                   {"LLR", "1042"},
                   {"CONTRACT", "C-7"},
                   {"SCALER", "JD"},
                   {"ST", "100"},
                   {"SCALESYS", "Cubic"},
                   {"CFSAWCU", "0.5"},
                   {"CFNONSAWCU", "0.7"},
                   {"CFSAWBD", "0"},
                   {"CFNONSAWBD", "0.0"},
                   {"MAXLEN", "40"},
                   {"MAXDIA", "60"},
                   {"HDATE", ""},
                   {"SDATE", "20101104"}}};

  HeaderAudit Audit() { return AuditHeader(header_, kToday); }
};

TEST_F(HeaderAuditTest, CompleteHeaderPasses) {
  const HeaderAudit audit = Audit();
  EXPECT_EQ(audit.problems, 0);
  EXPECT_EQ(audit.text, "");
}

TEST_F(HeaderAuditTest, EveryMissingFieldInOrderWithoutTrailingBreak) {
  TextRow empty;
  const HeaderAudit audit = AuditHeader(empty, kToday);
  EXPECT_EQ(audit.problems, 6);
  EXPECT_EQ(audit.text, "No SALE\nNo LLR\nNo CONTRACT\nNo SCALER\nNo ST\nNo SCALESYS");
  EXPECT_EQ(audit.JournalText(), "No SALE, No LLR, No CONTRACT, No SCALER, No ST, No SCALESYS");
}

TEST_F(HeaderAuditTest, SaleOrLlrWithACommaFails) {
  header_.Set("SALE", "Creek,North");
  header_.Set("LLR", "10,1");
  const HeaderAudit audit = Audit();
  EXPECT_EQ(audit.problems, 2);
  EXPECT_EQ(audit.text, "SALE can't have commas\nLLR can't have commas");
}

TEST_F(HeaderAuditTest, ConversionFactorZeroTextsAreExact) {
  header_.Set("CFSAWCU", "");
  EXPECT_EQ(Audit().problems, 0);
  header_.Set("CFSAWCU", "0.00");
  EXPECT_EQ(Audit().problems, 0);
  header_.Set("CFSAWCU", "0");
  EXPECT_EQ(Audit().text, "No CFSAWCU");
  header_.Set("CFSAWCU", "0.0");
  header_.Set("CFNONSAWCU", "0");
  EXPECT_EQ(Audit().text, "No CFSAWCU\nNo CFNONSAWCU");
}

TEST_F(HeaderAuditTest, BoardLoadChecksOnlyBoardFactors) {
  header_.Set("SCALESYS", "Board");
  header_.Set("CFSAWCU", "0");
  header_.Set("CFNONSAWCU", "0");
  EXPECT_EQ(Audit().text, "No CFSAWBD\nNo CFNONSAWBD");
  header_.Set("SCALESYS", "cubic");  // not exactly "Cubic": no factor is checked
  EXPECT_EQ(Audit().problems, 0);
}

TEST_F(HeaderAuditTest, LimitsOfZeroFailEmptyPasses) {
  header_.Set("MAXLEN", "0");
  header_.Set("MAXDIA", "0.0");
  EXPECT_EQ(Audit().text, "No MAXLEN\nNo MAXDIA");
  header_.Set("MAXLEN", "");
  header_.Set("MAXDIA", "");
  EXPECT_EQ(Audit().problems, 0);
}

TEST_F(HeaderAuditTest, HdateThirtiethOfFebruaryIsBadDay) {
  header_.Set("HDATE", "20100230");
  EXPECT_EQ(Audit().text, "Invalid HDATE - Invalid day of month - Format is YYYYMMDD");
}

TEST_F(HeaderAuditTest, HdateMonthThirteenIsBadDayToo) {
  header_.Set("HDATE", "20101301");
  EXPECT_EQ(Audit().text, "Invalid HDATE - Invalid day of month - Format is YYYYMMDD");
}

TEST_F(HeaderAuditTest, HdateOfSevenCharactersIsBadLength) {
  header_.Set("HDATE", "2010110");
  EXPECT_EQ(Audit().text, "Invalid HDATE - Date length should be 8 numbers - Format is YYYYMMDD");
}

TEST_F(HeaderAuditTest, HdateInTheFuture) {
  header_.Set("HDATE", "20101106");
  header_.Set("SDATE", "");
  EXPECT_EQ(Audit().text, "Invalid HDATE - Date falls after the FDR's system date");
}

TEST_F(HeaderAuditTest, HdateWithLettersGetsTheGeneralMessage) {
  header_.Set("HDATE", "2010Nov5");
  EXPECT_EQ(Audit().text, "Invalid HDATE - Format is YYYYMMDD");
}

TEST_F(HeaderAuditTest, HdateEqualToSdatePassesOneDayLaterFails) {
  header_.Set("HDATE", "20101104");
  EXPECT_EQ(Audit().problems, 0);
  header_.Set("HDATE", "20101105");
  const HeaderAudit audit = Audit();
  EXPECT_EQ(audit.problems, 1);
  EXPECT_EQ(audit.text, "HDATE can't be after SDATE");
}

TEST_F(HeaderAuditTest, HdateBeforeSdateAndEmptySdatePass) {
  header_.Set("HDATE", "20101001");
  EXPECT_EQ(Audit().problems, 0);
  header_.Set("SDATE", "");
  EXPECT_EQ(Audit().problems, 0);
  header_.Set("SDATE", "garbage!");  // an unreadable SDATE cannot be compared
  EXPECT_EQ(Audit().problems, 0);
}

TEST_F(HeaderAuditTest, ProblemsAccumulateInTableOrder) {
  header_.Set("SALE", "");
  header_.Set("CFNONSAWCU", "0");
  header_.Set("MAXDIA", "0");
  header_.Set("HDATE", "20100230");
  const HeaderAudit audit = Audit();
  EXPECT_EQ(audit.problems, 4);
  EXPECT_EQ(audit.text,
            "No SALE\nNo CFNONSAWCU\nNo MAXDIA\n"
            "Invalid HDATE - Invalid day of month - Format is YYYYMMDD");
}

}  // namespace
}  // namespace sampling
