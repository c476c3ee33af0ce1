#include "stats/cip_helper.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/if_table_builder.h"

namespace orv {
namespace {

using test::BuildTable;
using test::FakeTable;
using test::Row;

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

Row NamedRow(std::uint32_t index, std::uint32_t inOctets = 0, std::uint32_t outOctets = 0) {
  Row r;
  r.index = index;
  r.name = u"if" + std::u16string(1, static_cast<char16_t>(u'0' + index % 10));
  r.inOctets = inOctets;
  r.outOctets = outOctets;
  return r;
}

TEST(CIpHelper, TotalsAreZeroBeforeAnyRead) {
  FakeTable fake;
  fake.table = BuildTable({NamedRow(1, 500, 700)});
  CIpHelper reader(fake.Fn());
  EXPECT_EQ(reader.BytesReceived(), 0.0);
  EXPECT_EQ(reader.BytesSent(), 0.0);
  EXPECT_EQ(fake.sizeCalls + fake.dataCalls, 0) << "reading a total must not load";
}

struct StatusCase {
  const char* what;
  std::uint32_t sizeStatus;
  std::uint32_t dataStatus;
  bool rowsRead;
  int dataCalls;
};

void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.what; }

class CIpHelperStatus : public testing::TestWithParam<StatusCase> {};

TEST_P(CIpHelperStatus, OnlyNotSupportedStopsTheSizeQueryAndOnlySuccessReadsRows) {
  const StatusCase& c = GetParam();
  FakeTable fake;
  fake.table = BuildTable({NamedRow(1, 10, 20), NamedRow(2, 30, 40)});
  fake.sizeStatus = c.sizeStatus;
  fake.dataStatus = c.dataStatus;
  CIpHelper reader(fake.Fn());
  auto interfaces = reader.Interfaces();
  ASSERT_NE(interfaces, nullptr);
  EXPECT_EQ(fake.sizeCalls, 1);
  EXPECT_EQ(fake.dataCalls, c.dataCalls);
  EXPECT_EQ(interfaces->Count(), c.rowsRead ? 2 : 0);
  EXPECT_EQ(reader.BytesReceived(), c.rowsRead ? 40.0 : 0.0);
  EXPECT_EQ(reader.BytesSent(), c.rowsRead ? 60.0 : 0.0);
  for (std::int32_t order : fake.orders) EXPECT_EQ(order, 0);
}

INSTANTIATE_TEST_SUITE_P(Statuses, CIpHelperStatus,
                         testing::Values(StatusCase{"NotSupportedAtSize", 50, 0, false, 0},
                                         StatusCase{"BufferTooSmallAtSize", 122, 0, true, 1},
                                         StatusCase{"SuccessAtSize", 0, 0, true, 1},
                                         StatusCase{"OtherAtSize", 1, 0, true, 1},
                                         StatusCase{"AllBitsAtSize", 0xFFFFFFFFu, 0, true, 1},
                                         StatusCase{"BufferTooSmallAtData", 122, 122, false, 1},
                                         StatusCase{"NotSupportedAtData", 122, 50, false, 1},
                                         StatusCase{"OtherAtData", 122, 31, false, 1}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST(CIpHelper, DataCallGetsAZeroFilledBufferOfExactlyTheReportedSize) {
  FakeTable fake;
  fake.table = BuildTable({NamedRow(1)});
  fake.reportedSize = 4 + 3 * 860 + 7;
  CIpHelper reader(fake.Fn());
  reader.Interfaces();
  EXPECT_EQ(fake.dataCallSize, 4u + 3 * 860 + 7);
  EXPECT_TRUE(fake.dataBufferWasZero);
  ASSERT_EQ(fake.orders.size(), 2u);
  EXPECT_EQ(fake.orders[0], 0);
  EXPECT_EQ(fake.orders[1], 0);
}

TEST(CIpHelper, FailedLoadAfterGoodOneResetsTotals) {
  FakeTable fake;
  fake.table = BuildTable({NamedRow(1, 1000, 2000)});
  CIpHelper reader(fake.Fn());
  reader.Interfaces();
  ASSERT_EQ(reader.BytesReceived(), 1000.0);
  fake.sizeStatus = 50;
  EXPECT_EQ(reader.Interfaces()->Count(), 0);
  EXPECT_EQ(reader.BytesReceived(), 0.0);
  EXPECT_EQ(reader.BytesSent(), 0.0);
}

struct BrokenSourceCase {
  const char* what;
  bool noFunction;
  bool throwAtSize;
  bool throwAtData;
  std::optional<std::uint32_t> reportedSize;
};

void PrintTo(const BrokenSourceCase& c, std::ostream* os) { *os << c.what; }

class CIpHelperBrokenSource : public testing::TestWithParam<BrokenSourceCase> {};

TEST_P(CIpHelperBrokenSource, GivesAnEmptyCollectionAndZeroTotals) {
  const BrokenSourceCase& c = GetParam();
  FakeTable fake;
  fake.table = BuildTable({NamedRow(1, 5, 6)});
  fake.throwAtSize = c.throwAtSize;
  fake.throwAtData = c.throwAtData;
  fake.reportedSize = c.reportedSize;
  CIpHelper reader(c.noFunction ? GetIfTableFn{} : fake.Fn());
  auto interfaces = reader.Interfaces();
  ASSERT_NE(interfaces, nullptr);
  EXPECT_EQ(interfaces->Count(), 0);
  EXPECT_EQ(reader.BytesReceived(), 0.0);
  EXPECT_EQ(reader.BytesSent(), 0.0);
  // The next read starts over and succeeds once the source is sound.
  fake.throwAtSize = fake.throwAtData = false;
  fake.reportedSize.reset();
  if (!c.noFunction) {
    EXPECT_EQ(reader.Interfaces()->Count(), 1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sources, CIpHelperBrokenSource,
    testing::Values(BrokenSourceCase{"NoTableCall", true, false, false, std::nullopt},
                    BrokenSourceCase{"ThrowsAtSize", false, true, false, std::nullopt},
                    BrokenSourceCase{"ThrowsAtData", false, false, true, std::nullopt},
                    BrokenSourceCase{"AbsurdSize", false, false, false, 0xFFFFFFFFu},
                    BrokenSourceCase{"JustOver64MiB", false, false, false, 64u * 1024 * 1024 + 1}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(CIpHelper, AbsurdSizeIsNotAllocatedOrPassedOn) {
  FakeTable fake;
  fake.table = BuildTable({NamedRow(1)});
  fake.reportedSize = 0xFFFFFFFFu;
  CIpHelper reader(fake.Fn());
  reader.Interfaces();
  EXPECT_EQ(fake.dataCalls, 0);
}

class CIpHelperCount : public testing::TestWithParam<std::int32_t> {};

TEST_P(CIpHelperCount, ZeroOrNegativeCountReadsNoRows) {
  FakeTable fake;
  fake.table = BuildTable({NamedRow(1, 100, 100), NamedRow(2, 100, 100)}, GetParam());
  CIpHelper reader(fake.Fn());
  EXPECT_EQ(reader.Interfaces()->Count(), 0);
  EXPECT_EQ(reader.BytesReceived(), 0.0);
  EXPECT_EQ(reader.BytesSent(), 0.0);
}

INSTANTIATE_TEST_SUITE_P(Counts, CIpHelperCount, testing::Values(0, -1, -860, INT32_MIN));

struct LyingCountCase {
  const char* what;
  std::int32_t claimed;
  std::size_t rowsWritten;
  std::uint32_t size;                        // size query answer
  std::optional<std::uint32_t> writtenSize;  // size stored by the data call
  std::int32_t expected;
};

void PrintTo(const LyingCountCase& c, std::ostream* os) { *os << c.what; }

class CIpHelperLyingCount : public testing::TestWithParam<LyingCountCase> {};

TEST_P(CIpHelperLyingCount, ReadsOnlyCompleteRowsInsideTheBuffer) {
  const LyingCountCase& c = GetParam();
  std::vector<Row> rows;
  for (std::size_t i = 1; i <= c.rowsWritten; ++i)
    rows.push_back(NamedRow(static_cast<std::uint32_t>(i), 1, 2));
  FakeTable fake;
  fake.table = BuildTable(rows, c.claimed);
  fake.reportedSize = c.size;
  fake.writtenSize = c.writtenSize;
  CIpHelper reader(fake.Fn());
  auto interfaces = reader.Interfaces();
  ASSERT_EQ(interfaces->Count(), c.expected);
  for (std::int32_t i = 1; i <= c.expected; ++i)
    EXPECT_EQ(interfaces->Item(i)->InterfaceIndex(), i);
  EXPECT_EQ(reader.BytesReceived(), 1.0 * c.expected);
  EXPECT_EQ(reader.BytesSent(), 2.0 * c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, CIpHelperLyingCount,
    testing::Values(LyingCountCase{"ClaimsMoreRows", 5, 2, 4 + 2 * 860, std::nullopt, 2},
                    LyingCountCase{"ClaimsMaximum", INT32_MAX, 1, 4 + 860, std::nullopt, 1},
                    LyingCountCase{"LastRowCutShort", 2, 2, 4 + 860 + 859, std::nullopt, 1},
                    LyingCountCase{"HeaderOnly", 1, 1, 4, std::nullopt, 0},
                    LyingCountCase{"SizeBelowHeader", 1, 1, 3, std::nullopt, 0},
                    LyingCountCase{"SizeZero", 1, 1, 0, std::nullopt, 0},
                    LyingCountCase{"SourceReportsFewerBytes", 3, 3, 4 + 3 * 860, 4 + 2 * 860, 2},
                    LyingCountCase{"SourceReportsMoreBytes", 9, 2, 4 + 2 * 860, 4 + 9 * 860, 2}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(CIpHelper, HundredRowsBecomeHundredRecordsInTableOrder) {
  std::vector<Row> rows;
  for (std::uint32_t i = 1; i <= 100; ++i) {
    Row r;
    r.index = 1000 - i;  // not sorted by index: table order must win
    r.name = u"row" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26));
    r.mtu = i;
    r.inOctets = i;
    r.outOctets = 2 * i;
    rows.push_back(r);
  }
  FakeTable fake;
  fake.table = BuildTable(rows);
  CIpHelper reader(fake.Fn());
  auto interfaces = reader.Interfaces();
  ASSERT_EQ(interfaces->Count(), 100);
  for (std::int32_t i = 1; i <= 100; ++i) {
    const auto& rec = interfaces->Item(i);
    EXPECT_EQ(rec->InterfaceIndex(), 1000 - i);
    EXPECT_EQ(rec->MaximumTransmissionUnit(), i);
    EXPECT_EQ(rec->InterfaceName(), rows[static_cast<std::size_t>(i - 1)].name);
  }
  EXPECT_EQ(reader.BytesReceived(), 5050.0);
  EXPECT_EQ(reader.BytesSent(), 10100.0);
}

// Every copied field lands in its own property, bit for bit. Distinct values
// per field catch two properties wired to one offset.
TEST(CIpHelper, EveryCopiedFieldFillsItsOwnProperty) {
  Row r;
  r.index = 0x80000001u;
  r.type = 0x80000002u;
  r.mtu = 0x80000003u;
  r.speed = 0xFFFFFFFFu;
  r.adminStatus = 0x80000005u;
  r.operStatus = 0x80000006u;
  r.inOctets = 0x80000000u;  // 2^31
  r.inUcastPkts = 0x80000008u;
  r.inNUcastPkts = 0x80000009u;
  r.inDiscards = 0x8000000Au;
  r.inErrors = 0x8000000Bu;
  r.inUnknownProtos = 0x8000000Cu;
  r.outOctets = 0xFFFFFFFFu;  // 2^32 - 1
  r.outUcastPkts = 0x8000000Eu;
  r.outNUcastPkts = 0x8000000Fu;
  r.outDiscards = 0x80000010u;
  r.outErrors = 0x80000011u;
  r.outQLen = 0x12345678u;
  FakeTable fake;
  fake.table = BuildTable({r});
  CIpHelper reader(fake.Fn());
  auto rec = reader.Interfaces()->Item(1);
  auto s = [](std::uint32_t v) { return static_cast<std::int32_t>(v); };
  EXPECT_EQ(rec->InterfaceIndex(), s(0x80000001u));
  EXPECT_EQ(rec->InterfaceType(), s(0x80000002u));
  EXPECT_EQ(rec->MaximumTransmissionUnit(), s(0x80000003u));
  EXPECT_EQ(rec->Speed(), -1);
  EXPECT_EQ(rec->AdminStatus(), s(0x80000005u));
  EXPECT_EQ(rec->OperationalStatus(), s(0x80000006u));
  EXPECT_EQ(rec->OctetsReceived(), INT32_MIN);
  EXPECT_EQ(rec->UnicastPacketsReceived(), s(0x80000008u));
  EXPECT_EQ(rec->NonunicastPacketsReceived(), s(0x80000009u));
  EXPECT_EQ(rec->DiscardedIncomingPackets(), s(0x8000000Au));
  EXPECT_EQ(rec->IncomingErrors(), s(0x8000000Bu));
  EXPECT_EQ(rec->UnknownProtocolPackets(), s(0x8000000Cu));
  EXPECT_EQ(rec->OctetsSent(), -1);
  EXPECT_EQ(rec->UnicastPacketsSent(), s(0x8000000Eu));
  EXPECT_EQ(rec->NonunicastPacketsSent(), s(0x8000000Fu));
  EXPECT_EQ(rec->DiscardedOutgoingPackets(), s(0x80000010u));
  EXPECT_EQ(rec->OutgoingErrors(), s(0x80000011u));
  EXPECT_EQ(rec->OutputQueueLength(), 0x12345678);
  // The signed values go into the totals with the same sign.
  EXPECT_EQ(reader.BytesReceived(), -2147483648.0);
  EXPECT_EQ(reader.BytesSent(), -1.0);
}

struct TotalCase {
  const char* what;
  std::vector<std::uint32_t> counters;
  std::int32_t total;
};

void PrintTo(const TotalCase& c, std::ostream* os) { *os << c.what; }

class CIpHelperTotals : public testing::TestWithParam<TotalCase> {};

TEST_P(CIpHelperTotals, SumModulo2To32AsSigned) {
  const TotalCase& c = GetParam();
  for (bool sent : {false, true}) {
    std::vector<Row> rows;
    for (std::uint32_t v : c.counters) {
      Row r;
      (sent ? r.outOctets : r.inOctets) = v;
      (sent ? r.inOctets : r.outOctets) = 7;  // the other total must not mix in
      rows.push_back(r);
    }
    FakeTable fake;
    fake.table = BuildTable(rows);
    CIpHelper reader(fake.Fn());
    reader.Interfaces();
    const double other = 7.0 * static_cast<double>(c.counters.size());
    EXPECT_EQ(sent ? reader.BytesSent() : reader.BytesReceived(), static_cast<double>(c.total))
        << (sent ? "sent" : "received");
    EXPECT_EQ(sent ? reader.BytesReceived() : reader.BytesSent(), other);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Totals, CIpHelperTotals,
    testing::Values(TotalCase{"Small", {1, 2, 3}, 6},
                    TotalCase{"OneAt2To31", {0x80000000u}, INT32_MIN},
                    TotalCase{"Across2To31", {2147483647u, 1}, INT32_MIN},
                    TotalCase{"Across2To31ThenBack", {2147483647u, 1, 0xFFFFFFFFu}, INT32_MAX},
                    TotalCase{"Across2To32", {0xFFFFFFFFu, 1}, 0},
                    TotalCase{"Across2To32Twice", {0xFFFFFFFFu, 0xFFFFFFFFu}, -2},
                    TotalCase{"LargeCounters", {3000000000u, 3000000000u}, 1705032704}),
    [](const auto& info) { return std::string(info.param.what); });

// The reason totals wrap: the modular difference of two loads is the true
// byte count even when the sum crosses 2^31 between them.
TEST(CIpHelper, ModularDifferenceOfTwoTotalsIsTheTrueByteCount) {
  FakeTable fake;
  fake.table = BuildTable({NamedRow(1, 0x7FFFFFF0u), NamedRow(2, 0x10u)});
  CIpHelper reader(fake.Fn());
  reader.Interfaces();
  const auto before = static_cast<std::int32_t>(reader.BytesReceived());
  fake.table = BuildTable({NamedRow(1, 0x80000010u), NamedRow(2, 0x30u)});
  reader.Interfaces();
  const auto after = static_cast<std::int32_t>(reader.BytesReceived());
  EXPECT_EQ(static_cast<std::uint32_t>(after) - static_cast<std::uint32_t>(before), 0x40u);
}

struct DescrCase {
  const char* what;
  std::int32_t length;
  std::vector<std::uint8_t> bytes;
  std::u16string expected;
};

void PrintTo(const DescrCase& c, std::ostream* os) { *os << c.what; }

class CIpHelperDescription : public testing::TestWithParam<DescrCase> {};

TEST_P(CIpHelperDescription, FollowsTheLengthAndDecodesUtf8) {
  const DescrCase& c = GetParam();
  Row r;
  r.descrLen = c.length;
  r.descr = c.bytes;
  FakeTable fake;
  fake.table = BuildTable({r});
  CIpHelper reader(fake.Fn());
  EXPECT_EQ(reader.Interfaces()->Item(1)->InterfaceDescription(), c.expected);
}

std::vector<std::uint8_t> Letters(std::size_t n) {
  std::vector<std::uint8_t> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>('a' + i % 26);
  return v;
}

std::u16string LettersU16(std::size_t n) {
  std::u16string s(n, u'\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char16_t>(u'a' + i % 26);
  return s;
}

INSTANTIATE_TEST_SUITE_P(
    Descriptions, CIpHelperDescription,
    testing::Values(
        DescrCase{"LengthZero", 0, Bytes("Loopback"), u""},
        DescrCase{"LengthNegative", -1, Bytes("Loopback"), u""},
        DescrCase{"LengthFive", 5, Bytes("Ethernet adapter"), u"Ether"},
        DescrCase{"Length256", 256, Letters(256), LettersU16(256)},
        DescrCase{"Length300", 300, Letters(256), LettersU16(256)},
        DescrCase{
            "EmbeddedZeroByte", 5, {'a', 'b', 0, 'c', 'd', 'e'}, std::u16string(u"ab\0cd", 5)},
        DescrCase{"TrailingZerosKept", 4, {'a', 'b'}, std::u16string(u"ab\0\0", 4)},
        DescrCase{"Utf8", 7, Bytes("\xE7\xBD\x91\xE5\x8D\xA1!"), u"\u7F51\u5361!"},
        DescrCase{"Utf8CutByTheLength", 5, Bytes("\xE7\xBD\x91\xE5\x8D\xA1"), u"\u7F51\uFFFD"},
        DescrCase{"InvalidByte", 3, {'a', 0xFF, 'b'}, u"a\uFFFDb"},
        DescrCase{"OverlongIsThreeParts", 4, {0xE0, 0x80, 0x80, 'x'}, u"\uFFFD\uFFFD\uFFFDx"}),
    [](const auto& info) { return std::string(info.param.what); });

// The system's code page is the decoder's to know: it gets exactly the
// bytes within the length, and its text is the description.
TEST(CIpHelper, DescriptionsAreDecodedByTheDecoderGiven) {
  Row r;
  r.descrLen = 7;
  r.descr = {0xCD, 0xF8, 0xBF, 0xA8, 0xD2, 0xBB, 0, 'x'};
  FakeTable fake;
  fake.table = BuildTable({r});
  std::vector<std::uint8_t> given;
  CIpHelper reader(fake.Fn(), [&given](std::span<const std::uint8_t> bytes) {
    given.assign(bytes.begin(), bytes.end());
    return std::u16string(u"\u7F51\u5361\u4E00");
  });
  EXPECT_EQ(reader.Interfaces()->Item(1)->InterfaceDescription(), u"\u7F51\u5361\u4E00");
  EXPECT_EQ(given, (std::vector<std::uint8_t>{0xCD, 0xF8, 0xBF, 0xA8, 0xD2, 0xBB, 0}));
}

struct AddressCase {
  const char* what;
  std::int32_t length;
  std::u16string expected;
};

void PrintTo(const AddressCase& c, std::ostream* os) { *os << c.what; }

class CIpHelperAddress : public testing::TestWithParam<AddressCase> {};

TEST_P(CIpHelperAddress, WritesUpToEightUpperCaseHexPairs) {
  const AddressCase& c = GetParam();
  Row r;
  r.physAddrLen = c.length;
  r.physAddr = {0x00, 0x0C, 0x29, 0x3A, 0x4B, 0x05, 0xAB, 0xFF};
  r.adminStatus = 0x11;  // the bytes after the address must never show up
  FakeTable fake;
  fake.table = BuildTable({r});
  CIpHelper reader(fake.Fn());
  EXPECT_EQ(reader.Interfaces()->Item(1)->AdapterAddress(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Addresses, CIpHelperAddress,
                         testing::Values(AddressCase{"LengthZero", 0, u""},
                                         AddressCase{"LengthNegative", -6, u""},
                                         AddressCase{"LengthOne", 1, u"00"},
                                         AddressCase{"LengthSix", 6, u"00-0C-29-3A-4B-05"},
                                         AddressCase{"LengthEight", 8, u"00-0C-29-3A-4B-05-AB-FF"},
                                         AddressCase{"LengthTen", 10, u"00-0C-29-3A-4B-05-AB-FF"}),
                         [](const auto& info) { return std::string(info.param.what); });

struct NameCase {
  const char* what;
  std::u16string written;
  std::u16string expected;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.what; }

class CIpHelperName : public testing::TestWithParam<NameCase> {};

TEST_P(CIpHelperName, EndsAtTheFirstZeroUnitOrAfter256) {
  const NameCase& c = GetParam();
  Row r;
  r.name = c.written;
  r.index = 0x41;  // 'A' right after the field must never join the name
  FakeTable fake;
  fake.table = BuildTable({r});
  CIpHelper reader(fake.Fn());
  EXPECT_EQ(reader.Interfaces()->Item(1)->InterfaceName(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, CIpHelperName,
    testing::Values(NameCase{"Empty", u"", u""}, NameCase{"Short", u"eth0", u"eth0"},
                    NameCase{"WideUnits", u"\u00E9\u7F51\U0001F600", u"\u00E9\u7F51\U0001F600"},
                    NameCase{"ZeroInside", std::u16string(u"ab\0cd", 5), u"ab"},
                    NameCase{"Full256NoZero", std::u16string(256, u'x'),
                             std::u16string(256, u'x')}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(CIpHelper, LastChangeIsUpTimeAsADayCount) {
  struct {
    std::uint32_t hundredths;
    double days;
  } const cases[] = {{0, 0.0},
                     {8640000, 1.0},
                     {4320000, 0.5},
                     {0x80000000u, 2147483648.0 / 8640000.0},
                     {0xFFFFFFFFu, 4294967295.0 / 8640000.0}};
  for (const auto& c : cases) {
    Row r;
    r.lastChange = c.hundredths;
    FakeTable fake;
    fake.table = BuildTable({r});
    CIpHelper reader(fake.Fn());
    EXPECT_DOUBLE_EQ(reader.Interfaces()->Item(1)->LastChange(), c.days) << c.hundredths;
  }
}

TEST(CIpHelper, TwoReadsGiveDistinctCollectionsAndTheFirstKeepsItsValues) {
  FakeTable fake;
  Row first = NamedRow(1, 100, 200);
  first.descrLen = 3;
  first.descr = Bytes("old");
  fake.table = BuildTable({first});
  CIpHelper reader(fake.Fn());
  auto a = reader.Interfaces();
  auto recordA = a->Item(1);

  Row second = NamedRow(2, 300, 400);
  second.descrLen = 3;
  second.descr = Bytes("new");
  fake.table = BuildTable({second, second});
  auto b = reader.Interfaces();

  EXPECT_NE(a, b);
  ASSERT_EQ(a->Count(), 1);
  EXPECT_EQ(a->Item(1), recordA);
  EXPECT_EQ(recordA->InterfaceIndex(), 1);
  EXPECT_EQ(recordA->OctetsReceived(), 100);
  EXPECT_EQ(recordA->InterfaceDescription(), u"old");
  ASSERT_EQ(b->Count(), 2);
  EXPECT_NE(b->Item(1), recordA);
  EXPECT_EQ(b->Item(1)->InterfaceDescription(), u"new");
  EXPECT_EQ(reader.BytesReceived(), 600.0);
  EXPECT_EQ(reader.BytesSent(), 800.0);
  // The reader holds only the newest collection.
  EXPECT_EQ(a.use_count(), 1);
  EXPECT_EQ(b.use_count(), 2);
}

TEST(CIpHelper, WrittenCollectionIsHeldUntilTheNextRead) {
  FakeTable fake;
  fake.table = BuildTable({NamedRow(1)});
  CIpHelper reader(fake.Fn());
  auto given = std::make_shared<CInterfaces>();
  reader.Interfaces(given);
  EXPECT_EQ(given.use_count(), 2);
  EXPECT_EQ(fake.sizeCalls, 0) << "writing the property must not load";
  auto loaded = reader.Interfaces();
  EXPECT_NE(loaded, given);
  EXPECT_EQ(given.use_count(), 1);
  EXPECT_EQ(given->Count(), 0) << "a held collection is replaced, never refilled";
  EXPECT_EQ(loaded->Count(), 1);
}

}  // namespace
}  // namespace orv
