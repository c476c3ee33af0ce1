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

// Bytes below one KB, KB from there on.
void ShowCurrentRate(Label* label, std::int32_t delta, const NumberLocale& locale) {
  if (TestOrPass([&] { return delta / 1024.0 < 1; })) {
    Attempt([&] { label->Caption(Format(delta, kPatternBytes, locale)); });
  } else {
    Attempt([&] { label->Caption(Format(delta / 1024.0, kPatternKBytes, locale)); });
  }
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
  Sample sample;

  Attempt([&] { tmrUpdate->Enabled(false); });
  ReadTableAndChosenEntry(sample);
  ReadTotals(sample);
  if (!yield()) return;
  TakeDeltas(sample);
  RaisePeaks(sample);
  if (!yield()) return;
  ShowTotals(sample);
  AverageAndShowRates(sample);
  FeedHistoryAndDraw();
  ShowCurrentRates(sample);
  RememberTotals(sample);
  RefreshListIfChanged();
  Attempt([&] { tmrUpdate->Enabled(true); });
}

// The table is read before the position is looked at, so the totals are
// current even when no entry is selected.
void frmBandwidth::ReadTableAndChosenEntry(Sample& sample) {
  Attempt([&] {
    const std::shared_ptr<CInterfaces> interfaces = ReadTable(objIpHelper);
    sample.sampled = interfaces->Count() > 0;
    const std::int16_t record = checked::Inc16(cboConnectionType->ListIndex());
    const CInterfaces::Record chosen = interfaces->Item(record);
    lblType->Caption(ConnectionEntry(chosen));
  });
}

void frmBandwidth::ReadTotals(Sample& sample) {
  Attempt([&] { sample.lngBytesReceived = ToInt32(Reader(objIpHelper).BytesReceived()); });
  Attempt([&] { sample.lngBytesSent = ToInt32(Reader(objIpHelper).BytesSent()); });
}

// Modular differences give the true change across a counter wrap. A
// sample without a baseline before it (the first one, or the first after
// an empty table) is no change at all, not the whole total.
void frmBandwidth::TakeDeltas(Sample& s) {
  if (!s.sampled || !m_haveBaseline) return;
  using checked::WrappingSub32;
  Attempt([&] { s.lngDownloadSpeed = WrappingSub32(s.lngBytesReceived, lngLastBytesReceived); });
  Attempt([&] { s.lngUploadSpeed = WrappingSub32(s.lngBytesSent, lngLastBytesSent); });
}

void frmBandwidth::RaisePeaks(const Sample& s) {
  if (TestOrPass([&] { return dblDownloadSpeedTop < s.lngDownloadSpeed; })) {
    Attempt([&] { dblDownloadSpeedTop = s.lngDownloadSpeed; });
  }
  if (TestOrPass([&] { return dblUploadSpeedTop < s.lngUploadSpeed; })) {
    Attempt([&] { dblUploadSpeedTop = s.lngUploadSpeed; });
  }
}

void frmBandwidth::ShowTotals(const Sample& s) {
  const NumberLocale& locale = m_services.locale;
  Attempt([&] { lblRecv->Caption(Format(TotalKB(s.lngBytesReceived), kPatternKB, locale)); });
  Attempt([&] { lblSent->Caption(Format(TotalKB(s.lngBytesSent), kPatternKB, locale)); });
}

// The averages, then the four peak and average labels.
void frmBandwidth::AverageAndShowRates(const Sample& s) {
  const NumberLocale& locale = m_services.locale;
  Attempt([&] { dblDownloadSpeedAverage = (s.lngDownloadSpeed + dblDownloadSpeedAverage) / 2; });
  Attempt([&] { dblUploadSpeedAverage = (s.lngUploadSpeed + dblUploadSpeedAverage) / 2; });

  Attempt([&] {
    lblDownloadSpeedTop->Caption(
        Text(kPrefixDownloadTop, dblDownloadSpeedTop / 1024, kPatternKbPerSecond, locale));
  });
  Attempt([&] {
    lblUploadSpeedTop->Caption(
        Text(kPrefixUploadTop, dblUploadSpeedTop / 1024, kPatternKbPerSecond, locale));
  });
  Attempt([&] {
    lblDownloadSpeedAverage->Caption(
        Text(kPrefixDownloadAverage, dblDownloadSpeedAverage / 1024, kPatternKbPerSecond, locale));
  });
  Attempt([&] {
    lblUploadSpeedAverage->Caption(
        Text(kPrefixUploadAverage, dblUploadSpeedAverage / 1024, kPatternKbPerSecond, locale));
  });
}

// Rounding to two places first, through the text, is what lets an
// average of 1,023.9 bytes count as a whole KB.
void frmBandwidth::FeedHistoryAndDraw() {
  const NumberLocale& locale = m_services.locale;
  Attempt([&] {
    const std::u16string text = Format(dblDownloadSpeedAverage / 1024, kPatternGrouped2, locale);
    const double value = Int(ParseNumber(text, locale)) + kHistoryOffset;
    if (!colHistory) throw Error(ErrorCode::InvalidCall, "no history");
    colHistory->Add(value);
  });
  Attempt([&] { objLineGraph.Draw(); });
}

void frmBandwidth::ShowCurrentRates(const Sample& s) {
  ShowCurrentRate(lblDSpeed, s.lngDownloadSpeed, m_services.locale);
  ShowCurrentRate(lblUSpeed, s.lngUploadSpeed, m_services.locale);
}

void frmBandwidth::RememberTotals(const Sample& s) {
  Attempt([&] { lngLastBytesReceived = s.lngBytesReceived; });
  Attempt([&] { lngLastBytesSent = s.lngBytesSent; });
  m_haveBaseline = s.sampled;
}

void frmBandwidth::RefreshListIfChanged() {
  if (TestOrPass([&] { return !ListShows(m_listed, *ReadTable(objIpHelper)); })) {
    // A list that could not be emptied keeps its entries, and the new ones
    // come after them.
    if (Attempt([&] { cboConnectionType->Clear(); })) m_listed.clear();
    Attempt([&] { FillConnectionList(*cboConnectionType, Reader(objIpHelper), m_listed); });
    Attempt([&] { RestoreConnectionChoice(*cboConnectionType, m_services.getSetting); });
  }
}

}  // namespace orv
