// The checked-in seeds, each run through its harness: a seed that no
// longer reaches what it was written for (a changed input layout, a
// fixture re-recorded) would leave the fuzzer starting from nothing.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "fuzz/harnesses.h"
#include "iftable/if_table.h"

namespace orv::fuzz {
namespace {

std::filesystem::path Corpus(const std::string& target) {
  return std::filesystem::path(ORV_FUZZ_CORPUS_DIR) / target;
}

std::vector<std::uint8_t> Seed(const std::string& target, const std::string& name) {
  std::ifstream in(Corpus(target) / name, std::ios::binary);
  if (!in) throw std::runtime_error("no seed " + target + "/" + name);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every file of the target's corpus has a case here and every case a file.
void ExpectCasesCoverCorpus(const std::string& target, const std::set<std::string>& cases) {
  std::set<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(Corpus(target))) {
    files.insert(entry.path().filename().string());
  }
  EXPECT_EQ(files, cases) << target;
}

template <class Case>
std::set<std::string> Names(const std::vector<Case>& cases) {
  std::set<std::string> names;
  for (const Case& c : cases) names.insert(c.file);
  return names;
}

struct ReaderCase {
  std::string file;
  std::int32_t records;
};

TEST(FuzzSeeds, ReaderSeedsReachTheRowsTheyHold) {
  const std::vector<ReaderCase> cases = {
      {"two_rows", 2},         {"size_call_succeeds", 2},
      {"size_call_zero", 0},   {"not_supported", 0},
      {"data_call_fails", 0},  {"size_call_throws", 0},
      {"data_call_throws", 0}, {"reports_one_row_less", 1},
      {"claims_more_rows", 1}, {"negative_row_count", 0},
      {"huge_size", 0},
  };
  ExpectCasesCoverCorpus("fuzz_reader", Names(cases));
  for (const ReaderCase& c : cases) {
    const auto bytes = Seed("fuzz_reader", c.file);
    const ReaderOutcome out = RunReader(bytes);
    EXPECT_FALSE(out.threw) << c.file;
    EXPECT_EQ(out.records, c.records) << c.file;
  }
  // 0x7FFFFFF0 + 0x20 received wraps past 2^31.
  const auto two = Seed("fuzz_reader", "two_rows");
  const ReaderOutcome out = RunReader(two);
  EXPECT_EQ(out.bytesReceived, -2147483632.0);
  EXPECT_EQ(out.bytesSent, 75000.0);
}

struct NumbersCase {
  std::string file;
  bool valRead;
  int parsedLocales;
  int formattedValues;
};

TEST(FuzzSeeds, NumberSeedsReachReadAndFormat) {
  // Texts of eight bytes or more are also formatted as the double their
  // first eight bytes make, when that is finite.
  const std::vector<NumbersCase> cases = {
      {"text_00", true, 1, 2},   // 1.5: the point locale only
      {"text_01", true, 2, 3},   // -1
      {"text_02", false, 0, 0},  // 1e309 overflows everywhere
      {"text_03", true, 1, 3},   // 1,234.50
      {"text_04", true, 1, 3},   // 1.234,50: the comma locale only
      {"text_05", true, 2, 3},   // " 12 "
      {"text_06", true, 1, 2},   // .5
      {"text_07", true, 2, 3},   // -0
      {"text_08", true, 2, 3},   // 1d3
      {"text_09", true, 2, 3},   // +7E+2
      {"text_10", true, 1, 3},   // 4.9e-324
      {"text_11", true, 2, 3},   // 1e-400 reads as 0
      {"text_12", true, 0, 1},   // empty
      {"text_13", true, 0, 1},   // abc
      {"text_14", true, 1, 2},   // 12,34: a decimal comma, never a group of two
      {"text_15", true, 1, 3},   // 1,234,567,890.12
      {"text_16", true, 0, 1},   // "0 BS "
      {"text_17", true, 0, 2},   // a pattern as text
      {"utf16_nbsp", true, 0, 2}, {"utf16_surrogate", true, 0, 1},
      {"double_max", true, 0, 2}, {"double_subnormal", true, 0, 2},
  };
  ExpectCasesCoverCorpus("fuzz_numbers", Names(cases));
  for (const NumbersCase& c : cases) {
    const auto bytes = Seed("fuzz_numbers", c.file);
    const NumbersOutcome out = RunNumbers(bytes);
    EXPECT_EQ(out.valRead, c.valRead) << c.file;
    EXPECT_EQ(out.parsedLocales, c.parsedLocales) << c.file;
    EXPECT_EQ(out.formattedValues, c.formattedValues) << c.file;
  }
}

struct ChoiceCase {
  std::string file;
  std::int16_t position;
};

TEST(FuzzSeeds, ChoiceSeedsReachEveryOutcome) {
  const std::vector<ChoiceCase> cases = {
      {"choice_00", 1},      // 1 of 3
      {"choice_01", 0},      // 2.4 of 3 is past the end before rounding
      {"choice_02", 2},      // 1.5 of 3 rounds to 2
      {"choice_03", -1},     // no selection
      {"choice_04", -1},     // empty list
      {"choice_05", 0},      // empty text
      {"choice_06", 0},      // not a number
      {"choice_07", 0},      // a NUL
      {"choice_08", 0},      // past 16 bits
      {"choice_09", 0},      // past the double range
      {"choice_10", -1},     // a negative list size
      {"choice_11", 0},      // -2
      {"choice_12", 32766},  // the last of 32767
      {"choice_13", 0},      // 4000 nines
      {"choice_14", 0},      // U+FFFE first: no byte-swapped "9" of 20
      {"choice_15", 0},      // U+FEFF first: not dropped to leave "2"
  };
  ExpectCasesCoverCorpus("fuzz_choice", Names(cases));
  for (const ChoiceCase& c : cases) {
    const auto bytes = Seed("fuzz_choice", c.file);
    EXPECT_EQ(RunChoice(bytes), c.position) << c.file;
  }
}

#ifdef ORV_FUZZ_NETLINK
struct NetlinkCase {
  std::string file;
  int progress;          // More 0, Done 1, Malformed 2, KernelError 3
  std::uint32_t status;  // of the table call, for link dumps
  std::int32_t records;  // the reader's, for link dumps
  std::int32_t parsed;   // statistics entries or link events
};

TEST(FuzzSeeds, NetlinkSeedsReachTheReader) {
  constexpr std::uint32_t kInvalidData = 13;
  constexpr std::uint32_t kGenFailure = 31;
  constexpr std::uint32_t kTooSmall = kStatusInsufficientBuffer;
  const std::vector<NetlinkCase> cases = {
      {"links_small", 1, kTooSmall, 6, 0},
      {"links_small_wireless_fast", 1, kTooSmall, 6, 0},
      {"links_many", 1, kTooSmall, 25, 0},
      {"links_many_wireless_fast", 1, kTooSmall, 25, 0},
      {"proc_net_dev_basic", 0, kTooSmall, 4, 0},
      {"proc_net_dev_long_names", 0, kTooSmall, 3, 0},
      {"error_busy", 3, kGenFailure, 0, 0},
      {"done_with_error", 3, kGenFailure, 0, 0},
      {"empty_dump", 1, kTooSmall, 0, 0},
      {"short_header", 2, kInvalidData, 0, 0},
      {"stats_two_links", 1, 0, 0, 2},
      {"stats_without_counters", 1, 0, 0, 1},
      // The bridge-port report is passed over.
      {"events_new_bridge_deleted", 0, 0, 0, 2},
      // The overrun ends its datagram; the next one is read again.
      {"events_overrun", 0, 0, 0, 2},
  };
  // Scripts for the cached source: comparisons made, links at the end,
  // and whether it asked for a statistics dump at all (without events it
  // never gets that far; a kernel without the dump is asked once).
  struct CacheCase {
    std::string file;
    std::int32_t comparisons;
    std::int32_t links;
    bool statsPath;
  };
  const std::vector<CacheCase> scripts = {
      {"cache_basic", 5, 2, true},
      {"cache_batched_lost", 3, 2, true},
      {"cache_added_during_call", 4, 2, true},
      {"cache_no_events", 5, 2, false},
      {"cache_no_stats", 5, 2, true},
      {"cache_damaged_notification", 3, 2, true},
  };
  std::set<std::string> all = Names(cases);
  for (const CacheCase& c : scripts) {
    all.insert(c.file);
    const auto bytes = Seed("fuzz_netlink", c.file);
    const NetlinkOutcome out = RunNetlink(bytes);
    EXPECT_EQ(out.parsed, c.comparisons) << c.file;
    EXPECT_EQ(out.records, c.links) << c.file;
    EXPECT_EQ(out.statsDumps > 0, c.statsPath) << c.file;
  }
  ExpectCasesCoverCorpus("fuzz_netlink", all);
  for (const NetlinkCase& c : cases) {
    const auto bytes = Seed("fuzz_netlink", c.file);
    const NetlinkOutcome out = RunNetlink(bytes);
    EXPECT_EQ(out.progress, c.progress) << c.file;
    EXPECT_EQ(out.status, c.status) << c.file;
    EXPECT_EQ(out.records, c.records) << c.file;
    EXPECT_EQ(out.parsed, c.parsed) << c.file;
  }
}
#endif

}  // namespace
}  // namespace orv::fuzz
