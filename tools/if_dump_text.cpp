#include "tools/if_dump_text.h"

#include <cstdint>
#include <cstdio>

namespace orv::ifdump {
namespace {

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | cp >> 6));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | cp >> 12));
    out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | cp >> 18));
    out.push_back(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

template <class Emit>
void ForEachCodePoint(std::u16string_view text, Emit emit) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      emit(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      emit(U'\uFFFD');
    } else {
      emit(u);
    }
  }
}

std::uint32_t Unsigned(std::int32_t v) { return static_cast<std::uint32_t>(v); }

}  // namespace

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  ForEachCodePoint(text, [&](char32_t cp) { AppendUtf8(out, cp); });
  return out;
}

std::string Printable(std::u16string_view text) {
  std::string out;
  ForEachCodePoint(text, [&](char32_t cp) {
    if (cp == U'\\') {
      out += "\\\\";
    } else if (cp < 0x20 || cp == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(cp));
      out += escape;
    } else {
      AppendUtf8(out, cp);
    }
  });
  return out;
}

std::string FormatRecord(std::int32_t position, const CInterface& r) {
  const std::string address = r.AdapterAddress().empty() ? "-" : ToUtf8(r.AdapterAddress());
  char numbers[256];
  std::snprintf(numbers, sizeof numbers,
                "#%d index %d type %d oper %d admin %d mtu %d speed %u address %s in %u out %u",
                position, r.InterfaceIndex(), r.InterfaceType(), r.OperationalStatus(),
                r.AdminStatus(), r.MaximumTransmissionUnit(), Unsigned(r.Speed()), address.c_str(),
                Unsigned(r.OctetsReceived()), Unsigned(r.OctetsSent()));
  return std::string(numbers) + " name \"" + Printable(r.InterfaceName()) + "\" description \"" +
         Printable(r.InterfaceDescription()) + "\"";
}

std::string FormatTotals(double bytesReceived, double bytesSent) {
  const auto u = [](double v) { return Unsigned(static_cast<std::int32_t>(v)); };
  char line[160];
  std::snprintf(line, sizeof line, "total received %.0f (%u) sent %.0f (%u)", bytesReceived,
                u(bytesReceived), bytesSent, u(bytesSent));
  return line;
}

}  // namespace orv::ifdump
