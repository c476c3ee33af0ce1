#include "stats/cinterface.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "stats/cinterfaces.h"

namespace orv {
namespace {

struct NumberProperty {
  const char* name;
  std::function<std::int32_t(const CInterface&)> get;
  std::function<void(CInterface&, std::int32_t)> set;
};

#define ORV_NUMBER(P)                                                                             \
  NumberProperty {                                                                                \
#P, [](const CInterface& r) { return r.P(); }, [](CInterface & r, std::int32_t v) { r.P(v); } \
  }

const std::vector<NumberProperty>& NumberProperties() {
  static const std::vector<NumberProperty> all = {
      ORV_NUMBER(OutputQueueLength),
      ORV_NUMBER(OutgoingErrors),
      ORV_NUMBER(DiscardedOutgoingPackets),
      ORV_NUMBER(NonunicastPacketsSent),
      ORV_NUMBER(UnicastPacketsSent),
      ORV_NUMBER(OctetsSent),
      ORV_NUMBER(UnknownProtocolPackets),
      ORV_NUMBER(IncomingErrors),
      ORV_NUMBER(DiscardedIncomingPackets),
      ORV_NUMBER(NonunicastPacketsReceived),
      ORV_NUMBER(MaximumTransmissionUnit),
      ORV_NUMBER(UnicastPacketsReceived),
      ORV_NUMBER(OctetsReceived),
      ORV_NUMBER(OperationalStatus),
      ORV_NUMBER(AdminStatus),
      ORV_NUMBER(Speed),
      ORV_NUMBER(InterfaceType),
      ORV_NUMBER(InterfaceIndex),
  };
  return all;
}

struct TextProperty {
  const char* name;
  std::function<std::u16string(const CInterface&)> get;
  std::function<void(CInterface&, std::u16string)> set;
};

#define ORV_TEXT(P)                                                                            \
  TextProperty {                                                                               \
#P, [](const CInterface& r) { return r.P(); }, [](CInterface & r,                          \
                                                      std::u16string v) { r.P(std::move(v)); } \
  }

const std::vector<TextProperty>& TextProperties() {
  static const std::vector<TextProperty> all = {ORV_TEXT(InterfaceDescription),
                                                ORV_TEXT(AdapterAddress), ORV_TEXT(InterfaceName)};
  return all;
}

TEST(CInterface, NewRecordIsEmptyAndZero) {
  const CInterface r;
  for (const auto& p : NumberProperties()) EXPECT_EQ(p.get(r), 0) << p.name;
  for (const auto& p : TextProperties()) EXPECT_TRUE(p.get(r).empty()) << p.name;
  EXPECT_EQ(r.LastChange(), 0.0);
}

TEST(CInterface, NumbersRoundTripAtTheLimits) {
  for (const auto& p : NumberProperties()) {
    for (std::int32_t v : {-1, INT32_MIN, INT32_MAX, 0, 1}) {
      CInterface r;
      p.set(r, v);
      EXPECT_EQ(p.get(r), v) << p.name;
    }
  }
}

TEST(CInterface, TextsRoundTripIncludingEmptyAndZeroCharacters) {
  const std::u16string values[] = {u"", std::u16string(u"\0", 1), std::u16string(u"a\0b\0", 4),
                                   u"\u7F51\u5361", std::u16string(300, u'z')};
  for (const auto& p : TextProperties()) {
    for (const auto& v : values) {
      CInterface r;
      p.set(r, u"previous");
      p.set(r, v);
      EXPECT_EQ(p.get(r), v) << p.name;
    }
  }
}

TEST(CInterface, LastChangeRoundTrips) {
  for (double v : {0.0, -1.5, 1.0 / 8640000.0, 45000.25, 1e300}) {
    CInterface r;
    r.LastChange(v);
    EXPECT_EQ(r.LastChange(), v);
  }
}

// Distinct values in every property at once: a setter wired to another
// property's field shows up as a wrong read-back.
TEST(CInterface, EveryPropertyHasItsOwnField) {
  CInterface r;
  const auto& numbers = NumberProperties();
  const auto& texts = TextProperties();
  for (std::size_t i = 0; i < numbers.size(); ++i)
    numbers[i].set(r, static_cast<std::int32_t>(1000 + i));
  for (std::size_t i = 0; i < texts.size(); ++i)
    texts[i].set(r, std::u16string(1, static_cast<char16_t>(u'A' + i)));
  r.LastChange(3.25);
  for (std::size_t i = 0; i < numbers.size(); ++i)
    EXPECT_EQ(numbers[i].get(r), static_cast<std::int32_t>(1000 + i)) << numbers[i].name;
  for (std::size_t i = 0; i < texts.size(); ++i)
    EXPECT_EQ(texts[i].get(r), std::u16string(1, static_cast<char16_t>(u'A' + i))) << texts[i].name;
  EXPECT_EQ(r.LastChange(), 3.25);
}

TEST(CInterface, TextReadEarlierDoesNotFollowLaterWrites) {
  for (const auto& p : TextProperties()) {
    CInterface r;
    p.set(r, u"first");
    std::u16string read = p.get(r);
    p.set(r, u"second");
    EXPECT_EQ(read, u"first") << p.name;
    std::u16string written = u"third";
    p.set(r, written);
    written[0] = u'X';
    EXPECT_EQ(p.get(r), u"third") << p.name;
  }
}

std::shared_ptr<CInterface> Record(std::int32_t index) {
  auto r = std::make_shared<CInterface>();
  r->InterfaceIndex(index);
  return r;
}

TEST(CInterfaces, NewCollectionIsEmptyAndItemOneFails) {
  CInterfaces c;
  EXPECT_EQ(c.Count(), 0);
  EXPECT_THROW(c.Item(1), Error);
  EXPECT_TRUE(c.begin() == c.end());
}

TEST(CInterfaces, AddTakesOverTheCallersReferenceAndReturnsTheStoredOne) {
  CInterfaces c;
  auto a = Record(1);
  CInterface* const raw = a.get();
  auto returned = c.Add(a);
  EXPECT_EQ(a, nullptr);
  EXPECT_EQ(returned.get(), raw);
  EXPECT_EQ(c.Item(1).get(), raw);
  EXPECT_EQ(returned.use_count(), 2) << "collection and caller, nothing else";
}

TEST(CInterfaces, PositionsFollowTheOrderOfAddition) {
  CInterfaces c;
  auto a = Record(10);
  auto b = Record(20);
  auto storedA = c.Add(a);
  auto storedB = c.Add(b);
  ASSERT_EQ(c.Count(), 2);
  EXPECT_EQ(c.Item(1), storedA);
  EXPECT_EQ(c.Item(2), storedB);
}

TEST(CInterfaces, PositionsOutsideOneToCountFail) {
  CInterfaces c;
  for (int i = 0; i < 3; ++i) {
    auto r = Record(i);
    c.Add(r);
  }
  for (std::int32_t position : {0, -1, 4, INT32_MIN, INT32_MAX}) {
    try {
      c.Item(position);
      ADD_FAILURE() << "Item " << position << " did not fail";
    } catch (const Error& e) {
      EXPECT_EQ(e.code(), ErrorCode::OutOfRange) << position;
    }
    EXPECT_THROW(c.Remove(position), Error) << position;
  }
  EXPECT_EQ(c.Count(), 3);
}

TEST(CInterfaces, UnknownKeysFail) {
  CInterfaces c;
  auto r = Record(1);
  c.Add(r);
  EXPECT_THROW(c.Item(std::string("eth0")), Error);
  EXPECT_THROW(c.Remove(std::string("eth0")), Error);
  EXPECT_EQ(c.Count(), 1);
}

TEST(CInterfaces, RemoveMovesLaterRecordsUpAndLeavesTheRemovedOneAlive) {
  CInterfaces c;
  auto a = Record(1);
  auto b = Record(2);
  auto storedA = c.Add(a);
  auto storedB = c.Add(b);
  c.Remove(1);
  ASSERT_EQ(c.Count(), 1);
  EXPECT_EQ(c.Item(1), storedB);
  EXPECT_EQ(storedA->InterfaceIndex(), 1);
  EXPECT_EQ(storedA.use_count(), 1);
  EXPECT_THROW(c.Item(2), Error);
}

TEST(CInterfaces, EnumerationVisitsRecordsInPositionOrder) {
  CInterfaces c;
  for (std::int32_t i = 1; i <= 5; ++i) {
    auto r = Record(i * 7);
    c.Add(r);
  }
  std::vector<std::int32_t> seen;
  for (const auto& r : c) seen.push_back(r->InterfaceIndex());
  EXPECT_EQ(seen, (std::vector<std::int32_t>{7, 14, 21, 28, 35}));
}

}  // namespace
}  // namespace orv
