#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "monitor/frm_bandwidth.h"
#include "monitor/frm_bandwidth_layout.h"
#include "platform/error.h"
#include "stats/cip_helper.h"
#include "tests/monitor/fake_form.h"
#include "tests/monitor/scripted_reader.h"
#include "tests/support/if_table_builder.h"

namespace orv {
namespace {

using test::FakeForm;
using test::Interfaces;
using test::RecordingSurface;
using test::ScriptedReader;
using test::Table;
using Texts = std::vector<std::u16string>;

constexpr std::uint32_t k2p31 = 2147483648u;

// One window over a scripted reader, a scripted setting and a yield the
// test can act in; the handlers are called directly, no timer runs.
class MonitorTest : public ::testing::Test {
 public:
  MonitorServices Services() {
    MonitorServices s;
    s.makeReader = [r = reader]() -> std::shared_ptr<InterfaceReader> { return r; };
    s.getSetting = [this](std::u16string_view app, std::u16string_view section,
                          std::u16string_view key, std::u16string_view def) {
      settingReads.push_back(Texts{std::u16string(app), std::u16string(section),
                                   std::u16string(key), std::u16string(def)});
      return stored.value_or(std::u16string(def));
    };
    s.doEvents = [this] {
      ++yields;
      if (onYield) onYield(yields);
    };
    s.startTimers = false;
    return s;
  }

  // A window over a fresh fake form; the test keeps a view of the form.
  std::unique_ptr<frmBandwidth> Make(MonitorServices services) {
    auto made = std::make_unique<FakeForm>(FrmBandwidthLayout());
    form = made.get();
    return std::make_unique<frmBandwidth>(std::move(made), std::move(services));
  }

  frmBandwidth& Open(const Table& first) {
    reader->Set(first);
    window = Make(Services());
    window->Form_Load();
    return *window;
  }

  // Sets the table that the next tick reads, then runs the tick.
  void Tick(const Table& table) {
    reader->Set(table);
    window->tmrUpdate_Timer();
  }

  Texts Entries() const { return form->lists.at("cboConnectionType").entries; }

  RecordingSurface& Graph() const { return form->pictures.at("PIC1"); }

  Texts Captions() const {
    const frmBandwidth& w = *window;
    return {w.lblType->Caption(),
            w.lblRecv->Caption(),
            w.lblSent->Caption(),
            w.lblDownloadSpeedTop->Caption(),
            w.lblUploadSpeedTop->Caption(),
            w.lblDownloadSpeedAverage->Caption(),
            w.lblUploadSpeedAverage->Caption(),
            w.lblDSpeed->Caption(),
            w.lblUSpeed->Caption()};
  }

  double LastHistory() const { return window->colHistory->Item(window->colHistory->Count()); }

  std::shared_ptr<ScriptedReader> reader = std::make_shared<ScriptedReader>();
  std::optional<std::u16string> stored;
  std::vector<Texts> settingReads;
  std::function<void(int)> onYield;
  int yields = 0;
  std::unique_ptr<frmBandwidth> window;
  FakeForm* form = nullptr;
};

// --- start-up -------------------------------------------------------------

struct ChoiceCase {
  int interfaces;
  std::optional<std::u16string> stored;
  int selected;
};

void PrintTo(const ChoiceCase& c, std::ostream* os) {
  *os << c.interfaces << " interfaces, stored "
      << (c.stored
              ? "\"" +
                    std::string(c.stored->begin(),
                                c.stored->begin() + std::min<std::size_t>(c.stored->size(), 20)) +
                    "\""
              : std::string("nothing"));
}

class StartUpChoiceTest : public MonitorTest, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(StartUpChoiceTest, SelectsTheStoredEntryOrTheFirstOrNone) {
  const ChoiceCase& c = GetParam();
  stored = c.stored;
  Open(Interfaces(static_cast<std::size_t>(c.interfaces)));
  EXPECT_EQ(window->cboConnectionType->ListCount(), c.interfaces);
  EXPECT_EQ(window->cboConnectionType->ListIndex(), c.selected);
  ASSERT_EQ(settingReads.size(), 1u);
  EXPECT_EQ(settingReads[0], (Texts{u"Project1", u"Setting", u"Connection", u"0"}));
}

const std::u16string kLongLetters(100000, u'x');
const std::u16string kLongDigits = u"1" + std::u16string(400, u'0');

INSTANTIATE_TEST_SUITE_P(
    Stored, StartUpChoiceTest,
    ::testing::Values(
        // An empty table: no selection, whatever is stored, and no failure.
        ChoiceCase{0, std::nullopt, -1}, ChoiceCase{0, u"2", -1}, ChoiceCase{0, u"-1", -1},
        ChoiceCase{0, u"-2", -1}, ChoiceCase{1, std::nullopt, 0}, ChoiceCase{1, u"1", 0},
        ChoiceCase{1, u"-1", -1}, ChoiceCase{3, std::nullopt, 0}, ChoiceCase{3, u"2", 2},
        ChoiceCase{3, u"3", 0}, ChoiceCase{3, u"1.5", 2}, ChoiceCase{3, u"0.5", 0},
        ChoiceCase{3, u"2.5", 0}, ChoiceCase{3, u"-1", -1}, ChoiceCase{3, u"-1.4", -1},
        ChoiceCase{3, u"-0.5", 0}, ChoiceCase{3, u"-2", 0}, ChoiceCase{3, u"-40000", 0},
        ChoiceCase{3, u"abc", 0}, ChoiceCase{3, u" 1xyz", 1}, ChoiceCase{3, u"", 0},
        ChoiceCase{3, u"1e309", 0}, ChoiceCase{3, u"-1e309", 0}, ChoiceCase{3, kLongLetters, 0},
        ChoiceCase{3, kLongDigits, 0}));

TEST_F(MonitorTest, StartUpListsEveryDescriptionWithOneSpaceFromOneTableRead) {
  Table t;
  t.descriptions = {u"lo", u"eth0 wired", u"", u"w\u00e4rme"};
  Open(t);
  EXPECT_EQ(Entries(), (Texts{u"lo ", u"eth0 wired ", u" ", u"w\u00e4rme "}));
  EXPECT_EQ(reader->reads, 1) << "the list fill must take one read of the table";
}

// U+FEFF and U+FFFE are ordinary characters of a description: neither may
// be read as a byte-order mark, dropped, or turn the rest byte-swapped.
TEST_F(MonitorTest, DescriptionsStartingWithAByteOrderMarkAreShownUnchanged) {
  Table t;
  t.descriptions = {u"\uFFFEeth0", u"\uFEFFlo"};
  stored = u"0";
  Open(t);
  const std::u16string swapped = u"\uFFFEeth0 ";
  const std::u16string marked = u"\uFEFFlo ";
  EXPECT_EQ(Entries(), (Texts{swapped, marked}));
  Tick(t);
  EXPECT_EQ(window->lblType->Caption(), swapped);
  window->cboConnectionType->ListIndex(std::int16_t{1});
  Tick(t);
  EXPECT_EQ(window->lblType->Caption(), marked);
}

TEST_F(MonitorTest, StartUpPrefillsTheHistoryBindsTheGraphAndDrawsNothing) {
  window = Make(Services());
  const Texts before = Captions();
  reader->Set(Interfaces(2, 123456, 7890));
  window->Form_Load();

  ASSERT_TRUE(window->colHistory);
  ASSERT_EQ(window->colHistory->Count(), 100);
  for (double v : *window->colHistory) ASSERT_EQ(v, 0.0);

  const clsLineGraph& g = window->objLineGraph;
  EXPECT_EQ(g.PictureBox(), static_cast<PictureSurface*>(window->PIC1));
  EXPECT_EQ(g.DataCollection(), window->colHistory) << "the graph must share the history";
  EXPECT_EQ(g.PicBackground(), 0u);
  EXPECT_EQ(g.PicForeground(), 65280u);
  EXPECT_EQ(g.BorderColor(), 255u);
  EXPECT_EQ(g.BorderSize(), 0);
  EXPECT_EQ(g.GridColor(), 0x808000u);
  EXPECT_TRUE(g.GridVisible());
  EXPECT_EQ(window->objIpHelper, reader);

  EXPECT_TRUE(Graph().calls.empty()) << "start-up draws nothing";
  EXPECT_EQ(Captions(), before) << "start-up writes no label";
  EXPECT_EQ(window->lblType->Caption(), u"TokenRing ");
}

TEST_F(MonitorTest, StartUpSurvivesAReaderThatFails) {
  Table broken;
  broken.throws = true;
  Open(broken);
  EXPECT_EQ(window->cboConnectionType->ListCount(), 0);
  EXPECT_EQ(window->cboConnectionType->ListIndex(), -1);
  EXPECT_EQ(window->colHistory->Count(), 100);
}

// --- the tick: deltas and their labels -------------------------------------

TEST_F(MonitorTest, FirstTickOnlySetsTheBaseline) {
  stored = u"1";
  Open(Interfaces(2));
  Tick(Interfaces(2, 5000000, 3000));
  EXPECT_EQ(window->lblDSpeed->Caption(), u"0 BS ");
  EXPECT_EQ(window->lblUSpeed->Caption(), u"0 BS ");
  EXPECT_EQ(window->lblRecv->Caption(), u"4,883 KB");
  EXPECT_EQ(window->lblSent->Caption(), u"3 KB");
  EXPECT_EQ(window->lblType->Caption(), u"if1 ");
  EXPECT_EQ(window->lblDownloadSpeedTop->Caption(), u"下载速率: 0.00 Kb/S");
  EXPECT_EQ(window->lblUploadSpeedTop->Caption(), u"上载速率: 0.00 Kb/S");
  EXPECT_EQ(window->lblDownloadSpeedAverage->Caption(), u"平均下载速率: 0.00 Kb/S");
  EXPECT_EQ(window->lblUploadSpeedAverage->Caption(), u"平均上载速率: 0.00 Kb/S");
  EXPECT_EQ(window->dblDownloadSpeedTop, 0.0);
  EXPECT_EQ(window->dblDownloadSpeedAverage, 0.0);
  EXPECT_EQ(LastHistory(), 5.0) << "no history value far above the scale";
  EXPECT_EQ(window->colHistory->Count(), 100) << "the graph trims to 100";
  EXPECT_EQ(window->lngLastBytesReceived, 5000000);
  EXPECT_EQ(window->lngLastBytesSent, 3000);

  Tick(Interfaces(2, 5000000 + 700, 3000 + 20));
  EXPECT_EQ(window->lblDSpeed->Caption(), u"700 BS ");
  EXPECT_EQ(window->lblUSpeed->Caption(), u"20 BS ");
}

struct DeltaCase {
  const char* name;
  std::uint32_t from;
  std::uint32_t to;
  const char16_t* rate;   // lblDSpeed / lblUSpeed
  const char16_t* total;  // lblRecv / lblSent after the second sample
};

void PrintTo(const DeltaCase& c, std::ostream* os) { *os << c.name; }

class DeltaTest : public MonitorTest, public ::testing::WithParamInterface<DeltaCase> {};

TEST_P(DeltaTest, ShowsTheModularChangeWithItsPattern) {
  const DeltaCase& c = GetParam();
  Open(Interfaces(1));
  Tick(Interfaces(1, c.from, c.from));
  Tick(Interfaces(1, c.to, c.to));
  EXPECT_EQ(window->lblDSpeed->Caption(), std::u16string(c.rate));
  EXPECT_EQ(window->lblUSpeed->Caption(), std::u16string(c.rate));
  EXPECT_EQ(window->lblRecv->Caption(), std::u16string(c.total));
  EXPECT_EQ(window->lblSent->Caption(), std::u16string(c.total));
}

INSTANTIATE_TEST_SUITE_P(
    Samples, DeltaTest,
    ::testing::Values(DeltaCase{"Zero", 1000, 1000, u"0 BS ", u"1 KB"},
                      DeltaCase{"Bytes1023", 10000, 11023, u"1023 BS ", u"11 KB"},
                      DeltaCase{"KB1024", 10000, 11024, u"1.00 KBS ", u"11 KB"},
                      DeltaCase{"KB1700", 0, 1700, u"1.66 KBS ", u"2 KB"},
                      DeltaCase{"Fall4096", 100000, 95904, u"-4096 BS ", u"94 KB"},
                      DeltaCase{"Crossing2p31", k2p31 - 100, k2p31 + 412, u"512 BS ",
                                u"2,097,152 KB"},
                      DeltaCase{"Wrapping2p32", 4294967295u - 299, 724, u"1.00 KBS ", u"1 KB"},
                      DeltaCase{"LargeKB", 0, 123456789, u"120563.27 KBS ", u"120,563 KB"},
                      DeltaCase{"TopOfRange", 0, 4294967295u, u"-1 BS ", u"4,194,304 KB"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MonitorTest, ModularTotalsOfTheRealReaderGiveTheTrueDeltaAcrossTheWrap) {
  test::FakeTable table;
  auto rows = [&](std::uint32_t a, std::uint32_t b) {
    test::Row r1;
    r1.descr = {'e', 't', 'h', '0'};
    r1.descrLen = 4;
    r1.inOctets = a;
    r1.outOctets = b;
    test::Row r2;
    r2.descr = {'l', 'o'};
    r2.descrLen = 2;
    r2.inOctets = 4000000000u;
    r2.outOctets = k2p31;
    table.table = test::BuildTable({r1, r2});
  };
  rows(294967000, 100);
  MonitorServices s = Services();
  s.makeReader = [&table] { return std::make_shared<CIpHelper>(table.Fn()); };
  window = Make(s);
  window->Form_Load();
  EXPECT_EQ(Entries(), (Texts{u"eth0 ", u"lo "}));
  window->tmrUpdate_Timer();
  // received 4294967000 then, 1000 bytes later, 704 after the wrap.
  rows(294968000, 100 + 2048);
  window->tmrUpdate_Timer();
  EXPECT_EQ(window->lblDSpeed->Caption(), u"1000 BS ");
  EXPECT_EQ(window->lblUSpeed->Caption(), u"2.00 KBS ");
  EXPECT_EQ(window->lblRecv->Caption(), u"1 KB");
  EXPECT_EQ(window->lblSent->Caption(), u"2,097,154 KB");
  EXPECT_EQ(window->lblType->Caption(), u"eth0 ");
}

// --- peaks, averages, history ----------------------------------------------

TEST_F(MonitorTest, PeaksRiseOnlyOnLargerDeltasAndTheResetClearsThem) {
  Open(Interfaces(1));
  window->Timer1->Enabled(true);
  std::uint32_t rx = 0;
  std::uint32_t tx = 0;
  Tick(Interfaces(1, rx, tx));
  struct Step {
    std::uint32_t down, up;
    double topDown, topUp;
    const char16_t* label;
  };
  const std::array<Step, 5> steps{{{2048, 100, 2048, 100, u"下载速率: 2.00 Kb/S"},
                                   {1024, 300, 2048, 300, u"下载速率: 2.00 Kb/S"},
                                   {2048, 200, 2048, 300, u"下载速率: 2.00 Kb/S"},
                                   {3072, 0, 3072, 300, u"下载速率: 3.00 Kb/S"},
                                   {0, 0, 3072, 300, u"下载速率: 3.00 Kb/S"}}};
  for (const Step& s : steps) {
    rx += s.down;
    tx += s.up;
    Tick(Interfaces(1, rx, tx));
    EXPECT_EQ(window->dblDownloadSpeedTop, s.topDown);
    EXPECT_EQ(window->dblUploadSpeedTop, s.topUp);
    EXPECT_EQ(window->lblDownloadSpeedTop->Caption(), std::u16string(s.label));
  }
  EXPECT_EQ(window->lblUploadSpeedTop->Caption(), u"上载速率: 0.29 Kb/S");

  window->Timer1_Timer();
  EXPECT_EQ(window->dblDownloadSpeedTop, 0.0);
  EXPECT_EQ(window->dblUploadSpeedTop, 0.0);
  EXPECT_EQ(window->lblDownloadSpeedTop->Caption(), u"下载速率: 3.00 Kb/S")
      << "the reset writes no label";
  rx += 512;
  Tick(Interfaces(1, rx, tx));
  EXPECT_EQ(window->lblDownloadSpeedTop->Caption(), u"下载速率: 0.50 Kb/S");
  EXPECT_EQ(window->lblUploadSpeedTop->Caption(), u"上载速率: 0.00 Kb/S");

  // Idle periods must not switch the reset off.
  window->Timer1_Timer();
  window->Timer1_Timer();
  EXPECT_TRUE(window->Timer1->Enabled());
  rx += 4096;
  Tick(Interfaces(1, rx, tx));
  window->Timer1_Timer();
  EXPECT_EQ(window->dblDownloadSpeedTop, 0.0);
  window->Timer1->Enabled(false);
}

TEST_F(MonitorTest, AveragesMoveHalfwayToEachDelta) {
  Open(Interfaces(1));
  Tick(Interfaces(1, 0, 0));
  struct Step {
    std::uint32_t rx, tx;
    double down, up;
    const char16_t* downLabel;
  };
  const std::array<Step, 4> steps{{{1000, 4000, 500, 2000, u"平均下载速率: 0.49 Kb/S"},
                                   {4000, 4000, 1750, 1000, u"平均下载速率: 1.71 Kb/S"},
                                   {4000, 5000, 875, 1000, u"平均下载速率: 0.85 Kb/S"},
                                   {3000, 5000, -62.5, 500, u"平均下载速率: -0.06 Kb/S"}}};
  for (const Step& s : steps) {
    Tick(Interfaces(1, s.rx, s.tx));
    EXPECT_DOUBLE_EQ(window->dblDownloadSpeedAverage, s.down);
    EXPECT_DOUBLE_EQ(window->dblUploadSpeedAverage, s.up);
    EXPECT_EQ(window->lblDownloadSpeedAverage->Caption(), std::u16string(s.downLabel));
  }
  EXPECT_EQ(window->lblUploadSpeedAverage->Caption(), u"平均上载速率: 0.49 Kb/S");
}

struct HistoryCase {
  double averageBefore;  // halved by a tick with delta 0
  double appended;
};

class HistoryTest : public MonitorTest, public ::testing::WithParamInterface<HistoryCase> {};

TEST_P(HistoryTest, AppendsTheAverageInKBRoundedToTwoPlacesThenDownPlusFive) {
  Open(Interfaces(1));
  Tick(Interfaces(1, 77, 0));
  window->dblDownloadSpeedAverage = GetParam().averageBefore;
  Tick(Interfaces(1, 77, 0));
  EXPECT_EQ(LastHistory(), GetParam().appended);
  EXPECT_EQ(window->colHistory->Count(), 100);
  EXPECT_EQ(window->colHistory->Item(99), 5.0) << "the previous value stays before it";
}

INSTANTIATE_TEST_SUITE_P(Averages, HistoryTest,
                         ::testing::Values(HistoryCase{2 * 2600.0, 7}, HistoryCase{2 * 1023.9, 6},
                                           HistoryCase{2 * 1018.8, 5}, HistoryCase{0, 5},
                                           // Grouped text must be read back whole.
                                           HistoryCase{2 * 1024.0 * 1024 * 1024, 1048576 + 5},
                                           HistoryCase{-2 * 2600.0, 2}));

TEST_F(MonitorTest, TheGraphIsDrawnOnEveryTick) {
  Open(Interfaces(1));
  for (int tick = 1; tick <= 3; ++tick) {
    Graph().calls.clear();
    Tick(Interfaces(1, 0, 0));
    const auto ops = Graph().Ops();
    EXPECT_EQ(std::count(ops.begin(), ops.end(), RecordingSurface::Op::Cls), 1) << "tick " << tick;
    EXPECT_EQ(Graph().Segments().size(), std::size_t{kGraphValues}) << "the line, tick " << tick;
    EXPECT_GE(Graph().Boxes().size(), 20u + 10u) << "the grid, tick " << tick;
  }
}

// --- the list ---------------------------------------------------------------

TEST_F(MonitorTest, AnotherEntryChangesOnlyTheDescription) {
  auto run = [&](bool choose) {
    stored.reset();
    yields = 0;
    Open(Interfaces(3));
    Tick(Interfaces(3, 1000, 500));
    Tick(Interfaces(3, 6000, 900));
    if (choose) window->cboConnectionType->ListIndex(std::int16_t{2});
    Tick(Interfaces(3, 9000, 1900));
    Texts captions = Captions();
    for (double v : *window->colHistory) {
      const std::string digits = std::to_string(v);
      captions.emplace_back(digits.begin(), digits.end());
    }
    return captions;
  };
  const Texts kept = run(false);
  const Texts chosen = run(true);
  EXPECT_EQ(kept[0], u"if0 ");
  EXPECT_EQ(chosen[0], u"if2 ");
  ASSERT_EQ(kept.size(), chosen.size());
  for (std::size_t i = 1; i < kept.size(); ++i) EXPECT_EQ(kept[i], chosen[i]) << "item " << i;
  EXPECT_EQ(window->cboConnectionType->ListIndex(), 2) << "an equal count keeps the choice";
}

TEST_F(MonitorTest, SteadyTicksReadTheTableTwice) {
  Open(Interfaces(3));
  const int before = reader->reads;
  Tick(Interfaces(3, 10, 10));
  Tick(Interfaces(3, 20, 20));
  EXPECT_EQ(reader->reads - before, 4);
}

TEST_F(MonitorTest, AnInterfaceComingOrGoingRebuildsTheListAndRestoresTheStoredChoice) {
  stored = u"1";
  Open(Interfaces(2));
  Tick(Interfaces(2, 100, 100));
  window->cboConnectionType->ListIndex(std::int16_t{0});

  Table three = Interfaces(3, 100, 100);
  three.descriptions[2] = u"veth-new";
  int before = reader->reads;
  Tick(three);
  EXPECT_EQ(Entries(), (Texts{u"if0 ", u"if1 ", u"veth-new "}));
  EXPECT_EQ(window->cboConnectionType->ListIndex(), 1) << "the user's choice is dropped";
  EXPECT_EQ(reader->reads - before, 3) << "count, then one read for the whole fill";

  window->cboConnectionType->ListIndex(std::int16_t{2});
  Tick(Interfaces(1, 100, 100));
  EXPECT_EQ(Entries(), (Texts{u"if0 "}));
  EXPECT_EQ(window->cboConnectionType->ListIndex(), 0) << "stored 1 names no entry of one";

  stored = u"-1";
  Tick(Interfaces(2, 100, 100));
  EXPECT_EQ(window->cboConnectionType->ListIndex(), -1);
}

// One interface leaving as another arrives between two ticks keeps the
// count: the entries themselves tell, from the read the refresh makes.
TEST_F(MonitorTest, ASwapWithinOneTickRebuildsTheListWithoutAnExtraRead) {
  stored = u"1";
  Table before = Interfaces(3, 100, 100);
  before.descriptions[2] = u"veth-old";
  Open(before);
  Tick(before);
  ASSERT_EQ(Entries(), (Texts{u"if0 ", u"if1 ", u"veth-old "}));

  Table after = before;
  after.descriptions[2] = u"veth-new";
  int reads = reader->reads;
  Tick(after);
  EXPECT_EQ(Entries(), (Texts{u"if0 ", u"if1 ", u"veth-new "}));
  EXPECT_EQ(window->cboConnectionType->ListIndex(), 1) << "the stored choice, restored";
  EXPECT_EQ(reader->reads - reads, 3) << "the refresh's read, then one for the fill";

  reads = reader->reads;
  auto& list = dynamic_cast<test::FakeList&>(*window->cboConnectionType);
  list.entriesRead = 0;
  Tick(after);
  EXPECT_EQ(reader->reads - reads, 2) << "an unchanged table is no rebuild";
  EXPECT_EQ(list.entriesRead, 0) << "the list is compared with what was put in, not read back";

  Table reordered = after;
  std::swap(reordered.descriptions[0], reordered.descriptions[1]);
  Tick(reordered);
  EXPECT_EQ(Entries(), (Texts{u"if1 ", u"if0 ", u"veth-new "})) << "the order is the table's";
}

TEST_F(MonitorTest, AFailedCountTestCountsAsPassedAndRebuilds) {
  Open(Interfaces(3));
  Tick(Interfaces(3, 0, 0));
  window->cboConnectionType->ListIndex(std::int16_t{2});
  Table broken;
  broken.throws = true;
  reader->Set(Interfaces(3, 10, 10));
  reader->Then(Interfaces(3, 10, 10));  // step 2
  reader->Then(broken);                 // the count of the refresh
  reader->Then(Interfaces(3, 10, 10));  // the fill
  window->tmrUpdate_Timer();
  EXPECT_EQ(window->cboConnectionType->ListCount(), 3);
  EXPECT_EQ(window->cboConnectionType->ListIndex(), 0) << "the refresh must have run";
}

TEST_F(MonitorTest, NoSelectionKeepsTheDesignCaption) {
  stored = u"-1";
  Open(Interfaces(3, 0, 0));
  Tick(Interfaces(3, 0, 0));
  Tick(Interfaces(3, 2000, 0));
  EXPECT_EQ(window->lblType->Caption(), u"TokenRing ");
  EXPECT_EQ(window->lblDSpeed->Caption(), u"1.95 KBS ") << "totals still read";
}

TEST_F(MonitorTest, AnUnreadableTableGivesZeroDeltasAndTheNextSampleIsABaseline) {
  stored = u"1";
  Open(Interfaces(2));
  Tick(Interfaces(2, 50000, 40000));
  Tick(Interfaces(2, 51000, 40100));
  ASSERT_EQ(window->lblDSpeed->Caption(), u"1000 BS ");
  const std::u16string type = window->lblType->Caption();

  Tick(test::Unreadable());
  EXPECT_EQ(window->lblDSpeed->Caption(), u"0 BS ");
  EXPECT_EQ(window->lblUSpeed->Caption(), u"0 BS ");
  EXPECT_EQ(window->lblRecv->Caption(), u"0 KB");
  EXPECT_EQ(window->dblDownloadSpeedTop, 1000.0) << "no negative peak, no change";
  EXPECT_EQ(window->lblType->Caption(), type);
  EXPECT_EQ(window->cboConnectionType->ListCount(), 0);
  EXPECT_EQ(window->cboConnectionType->ListIndex(), -1);
  EXPECT_TRUE(window->tmrUpdate->Enabled());

  Tick(Interfaces(2, 53000, 40200));
  EXPECT_EQ(window->lblDSpeed->Caption(), u"0 BS ") << "a baseline, not a spike";
  EXPECT_EQ(window->cboConnectionType->ListCount(), 2);
  EXPECT_EQ(window->cboConnectionType->ListIndex(), 1);
  Tick(Interfaces(2, 53300, 40200));
  EXPECT_EQ(window->lblDSpeed->Caption(), u"300 BS ");
}

// --- failures, yields and closing ------------------------------------------

struct FailureCase {
  const char* name;
  std::function<void(MonitorTest&)> arrange;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class TickFailureTest : public MonitorTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(TickFailureTest, TheTimerIsEnabledAfterEveryTick) {
  Open(Interfaces(2));
  window->tmrUpdate->Enabled(true);
  bool disabledInside = true;
  onYield = [&](int) { disabledInside = disabledInside && !window->tmrUpdate->Enabled(); };
  reader->Set(Interfaces(2, 10, 10));
  GetParam().arrange(*this);
  window->tmrUpdate_Timer();
  EXPECT_TRUE(window->tmrUpdate->Enabled());
  EXPECT_TRUE(disabledInside) << "the timer must be off during the tick";
  EXPECT_EQ(yields, 2);
  window->tmrUpdate->Enabled(false);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, TickFailureTest,
    ::testing::Values(
        FailureCase{"Nothing", [](MonitorTest&) {}},
        FailureCase{"ReaderThrows",
                    [](MonitorTest& t) {
                      Table broken;
                      broken.throws = true;
                      t.reader->Set(broken);
                    }},
        FailureCase{"YieldThrows",
                    [](MonitorTest& t) {
                      t.onYield = [](int) { throw Error(ErrorCode::InvalidCall, "yield"); };
                    }},
        FailureCase{"NoHistory", [](MonitorTest& t) { t.window->colHistory.reset(); }},
        FailureCase{
            "NoEntrySelected",
            [](MonitorTest& t) { t.window->cboConnectionType->ListIndex(std::int16_t{-1}); }},
        FailureCase{"AverageNotFinite",
                    [](MonitorTest& t) {
                      t.window->dblDownloadSpeedAverage = std::numeric_limits<double>::infinity();
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MonitorTest, AReaderThatThrowsLeavesTheLabelsAtZeroAndTheNextSampleIsABaseline) {
  Open(Interfaces(1));
  Tick(Interfaces(1, 9000, 9000));
  Table broken;
  broken.throws = true;
  Tick(broken);
  EXPECT_EQ(window->lblDSpeed->Caption(), u"0 BS ");
  EXPECT_EQ(window->lblRecv->Caption(), u"0 KB");
  Tick(Interfaces(1, 9100, 9000));
  EXPECT_EQ(window->lblDSpeed->Caption(), u"0 BS ");
  Tick(Interfaces(1, 9200, 9000));
  EXPECT_EQ(window->lblDSpeed->Caption(), u"100 BS ");
}

struct ResetCase {
  int yield;
  const char16_t* downTop;
  double average;
};

void PrintTo(const ResetCase& c, std::ostream* os) {
  *os << (c.yield == 0 ? std::string("no reset") : "reset in yield " + std::to_string(c.yield));
}

class ResetInYieldTest : public MonitorTest, public ::testing::WithParamInterface<ResetCase> {};

TEST_P(ResetInYieldTest, APeakResetInsideTheTickShowsWhatItLeft) {
  Open(Interfaces(1));
  Tick(Interfaces(1, 0, 0));
  onYield = [this](int n) {
    if (n == GetParam().yield) window->Timer1_Timer();
  };
  yields = 0;
  Tick(Interfaces(1, 4096, 2048));
  EXPECT_EQ(window->lblDownloadSpeedTop->Caption(), std::u16string(GetParam().downTop));
  EXPECT_EQ(window->dblDownloadSpeedAverage, GetParam().average) << "averages are not peaks";
  EXPECT_EQ(window->lblDSpeed->Caption(), u"4.00 KBS ");
}

INSTANTIATE_TEST_SUITE_P(Yields, ResetInYieldTest,
                         ::testing::Values(ResetCase{0, u"下载速率: 4.00 Kb/S", 2048},
                                           ResetCase{1, u"下载速率: 4.00 Kb/S", 2048},
                                           ResetCase{2, u"下载速率: 0.00 Kb/S", 2048}));

class WindowEndedInYieldTest : public MonitorTest, public ::testing::WithParamInterface<int> {};

// The toolkit may destroy the window inside a yield while the logic object
// lives on: its controls are gone, so nothing of them may be touched.
TEST_P(WindowEndedInYieldTest, TheTickStopsAndTheWindowsEndTouchesNoControl) {
  Open(Interfaces(1));
  Tick(Interfaces(1, 0, 0));
  int touchedAfterClose = 0;
  for (auto& [name, timer] : form->timers) timer.touchedAfterClose = &touchedAfterClose;
  onYield = [this](int n) {
    if (n == GetParam()) form->Close();
  };
  yields = 0;
  const std::u16string before = window->lblDSpeed->Caption();
  form->timers.at("tmrUpdate").enabled = true;
  Tick(Interfaces(1, 3000, 0));
  EXPECT_EQ(yields, GetParam()) << "no yield after the window went";
  EXPECT_EQ(window->lblDSpeed->Caption(), before);
  EXPECT_FALSE(form->timers.at("tmrUpdate").enabled) << "the tick ended where it stopped";
  window.reset();
  EXPECT_EQ(touchedAfterClose, 0);
}

INSTANTIATE_TEST_SUITE_P(Yields, WindowEndedInYieldTest, ::testing::Values(1, 2));

class DeleteInYieldTest : public MonitorTest, public ::testing::WithParamInterface<int> {};

TEST_P(DeleteInYieldTest, TheTickStopsWhenTheWindowIsGone) {
  Open(Interfaces(1));
  Tick(Interfaces(1, 0, 0));
  frmBandwidth* raw = window.get();
  onYield = [this](int n) {
    if (n == GetParam()) window.reset();
  };
  yields = 0;
  const int before = reader->reads;
  reader->Set(Interfaces(3, 5000, 5000));
  raw->tmrUpdate_Timer();
  EXPECT_FALSE(window);
  EXPECT_EQ(yields, GetParam()) << "no yield after the window went";
  EXPECT_EQ(reader->reads - before, 1) << "no table read after the window went";
  EXPECT_EQ(reader.use_count(), 1) << "the window's reader must be released";
}

INSTANTIATE_TEST_SUITE_P(Yields, DeleteInYieldTest, ::testing::Values(1, 2));

}  // namespace
}  // namespace orv
