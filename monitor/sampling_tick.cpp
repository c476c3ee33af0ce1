#include <cstdint>
#include <memory>
#include <string_view>

#include "monitor/connection_list.h"
#include "monitor/frm_bandwidth.h"
#include "platform/checked.h"
#include "platform/convert.h"
#include "platform/error.h"
#include "platform/format.h"

namespace orv {
namespace {

constexpr std::u16string_view kPrefixDownloadTop = u"下载速率: ";
constexpr std::u16string_view kPrefixUploadTop = u"上载速率: ";
constexpr std::u16string_view kPrefixDownloadAverage = u"平均下载速率: ";
constexpr std::u16string_view kPrefixUploadAverage = u"平均上载速率: ";

// The graph's scale starts at 0; the history value sits this far above
// the average so an idle line runs just above the bottom edge.
constexpr double kHistoryOffset = 5;

// A caption of its own text followed by the formatted number.
std::u16string Text(std::u16string_view prefix, double value, std::u16string_view pattern,
                    const NumberLocale& locale) {
  return std::u16string(prefix) + Format(value, pattern, locale);
}

// The reader's totals are modulo 2^32 in a signed 32-bit value; the
// counter they stand for is the unsigned reading of those bits.
double TotalKB(std::int32_t total) { return static_cast<std::uint32_t>(total) / 1024.0; }

// A start-up that could not make the reader leaves every step that needs
// it failing, and so skipped.
InterfaceReader& Reader(const std::shared_ptr<InterfaceReader>& reader) {
  if (!reader) throw Error(ErrorCode::InvalidCall, "no interface-table reader");
  return *reader;
}

std::shared_ptr<CInterfaces> ReadTable(const std::shared_ptr<InterfaceReader>& reader) {
  std::shared_ptr<CInterfaces> interfaces = Reader(reader).Interfaces();
  if (!interfaces) throw Error(ErrorCode::InvalidCall, "the reader gave no collection");
  return interfaces;
}

}  // namespace

void frmBandwidth::tmrUpdate_Timer() {
  // A yield may run the window's close, or its deletion: nothing of the
  // window is touched after a yield unless it is still there.
  const AliveToken alive = m_form->Token();
  const auto yield = [&alive, doEvents = m_services.doEvents] {
    if (doEvents) Attempt([&] { doEvents(); });
    return alive.Alive();
  };
  const NumberLocale locale = m_services.locale;

  std::int32_t lngBytesReceived = 0;
  std::int32_t lngBytesSent = 0;
  std::int32_t lngDownloadSpeed = 0;
  std::int32_t lngUploadSpeed = 0;
  // Whether this tick's table read yielded any interface to take totals of.
  bool sampled = false;

  Attempt([&] { tmrUpdate->Enabled(false); });

  // The table is read before the position is looked at, so the totals are
  // current even when no entry is selected.
  Attempt([&] {
    const std::shared_ptr<CInterfaces> interfaces = ReadTable(objIpHelper);
    sampled = interfaces->Count() > 0;
    const std::int16_t record = checked::Inc16(cboConnectionType->ListIndex());
    const CInterfaces::Record chosen = interfaces->Item(record);
    lblType->Caption(ConnectionEntry(chosen));
  });

  Attempt([&] { lngBytesReceived = ToInt32(Reader(objIpHelper).BytesReceived()); });
  Attempt([&] { lngBytesSent = ToInt32(Reader(objIpHelper).BytesSent()); });

  if (!yield()) return;

  // Modular differences give the true change across a counter wrap. A
  // sample without a baseline before it (the first one, or the first after
  // an empty table) is no change at all, not the whole total.
  if (sampled && m_haveBaseline) {
    Attempt([&] { lngDownloadSpeed = checked::WrappingSub32(lngBytesReceived, lngLastBytesReceived); });
    Attempt([&] { lngUploadSpeed = checked::WrappingSub32(lngBytesSent, lngLastBytesSent); });
  }

  if (TestOrPass([&] { return dblDownloadSpeedTop < lngDownloadSpeed; })) {
    Attempt([&] { dblDownloadSpeedTop = lngDownloadSpeed; });
  }
  if (TestOrPass([&] { return dblUploadSpeedTop < lngUploadSpeed; })) {
    Attempt([&] { dblUploadSpeedTop = lngUploadSpeed; });
  }

  if (!yield()) return;

  Attempt([&] { lblRecv->Caption(Format(TotalKB(lngBytesReceived), kPatternKB, locale)); });
  Attempt([&] { lblSent->Caption(Format(TotalKB(lngBytesSent), kPatternKB, locale)); });

  Attempt([&] { dblDownloadSpeedAverage = (lngDownloadSpeed + dblDownloadSpeedAverage) / 2; });
  Attempt([&] { dblUploadSpeedAverage = (lngUploadSpeed + dblUploadSpeedAverage) / 2; });

  Attempt([&] {
    lblDownloadSpeedTop->Caption(
        Text(kPrefixDownloadTop, dblDownloadSpeedTop / 1024, kPatternKbPerSecond, locale));
  });
  Attempt([&] {
    lblUploadSpeedTop->Caption(
        Text(kPrefixUploadTop, dblUploadSpeedTop / 1024, kPatternKbPerSecond, locale));
  });
  Attempt([&] {
    lblDownloadSpeedAverage->Caption(Text(kPrefixDownloadAverage, dblDownloadSpeedAverage / 1024,
                                          kPatternKbPerSecond, locale));
  });
  Attempt([&] {
    lblUploadSpeedAverage->Caption(
        Text(kPrefixUploadAverage, dblUploadSpeedAverage / 1024, kPatternKbPerSecond, locale));
  });

  // Rounding to two places first, through the text, is what lets an
  // average of 1,023.9 bytes count as a whole KB.
  Attempt([&] {
    const std::u16string text = Format(dblDownloadSpeedAverage / 1024, kPatternGrouped2, locale);
    const double value = Int(ParseNumber(text, locale)) + kHistoryOffset;
    if (!colHistory) throw Error(ErrorCode::InvalidCall, "no history");
    colHistory->Add(value);
  });

  Attempt([&] { objLineGraph.Draw(); });

  if (TestOrPass([&] { return lngDownloadSpeed / 1024.0 < 1; })) {
    Attempt([&] { lblDSpeed->Caption(Format(lngDownloadSpeed, kPatternBytes, locale)); });
  } else {
    Attempt([&] { lblDSpeed->Caption(Format(lngDownloadSpeed / 1024.0, kPatternKBytes, locale)); });
  }
  if (TestOrPass([&] { return lngUploadSpeed / 1024.0 < 1; })) {
    Attempt([&] { lblUSpeed->Caption(Format(lngUploadSpeed, kPatternBytes, locale)); });
  } else {
    Attempt([&] { lblUSpeed->Caption(Format(lngUploadSpeed / 1024.0, kPatternKBytes, locale)); });
  }

  Attempt([&] { lngLastBytesReceived = lngBytesReceived; });
  Attempt([&] { lngLastBytesSent = lngBytesSent; });
  m_haveBaseline = sampled;

  if (TestOrPass([&] { return !ListShows(*cboConnectionType, *ReadTable(objIpHelper)); })) {
    Attempt([&] { cboConnectionType->Clear(); });
    Attempt([&] { FillConnectionList(*cboConnectionType, Reader(objIpHelper)); });
    Attempt([&] { RestoreConnectionChoice(*cboConnectionType, m_services.getSetting); });
  }

  Attempt([&] { tmrUpdate->Enabled(true); });
}

}  // namespace orv
