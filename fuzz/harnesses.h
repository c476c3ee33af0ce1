#pragma once

// One run of each fuzz target on one input. Every run checks its own
// properties and aborts when one breaks; the outcome tells the seed tests
// how far an input got, so a corpus that stopped reaching the code under
// test shows up as a failing test rather than as a quiet, shallow fuzzer.

#include <cstdint>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace orv::fuzz {

// Table reader. Input: size-call mode byte, data-call mode byte, a signed
// 16-bit size delta, two raw 32-bit sizes, then the table bytes.
struct ReaderOutcome {
  bool threw = false;  // Interfaces() let an orv::Error through
  std::int32_t records = 0;
  double bytesReceived = 0;
  double bytesSent = 0;
};
ReaderOutcome RunReader(Bytes input);

// Number texts. Input: the text (see TextFrom); the first eight bytes are
// also taken as a double to format.
struct NumbersOutcome {
  bool valRead = false;     // Val gave a value
  int parsedLocales = 0;    // locales in which ParseNumber read the text
  int formattedValues = 0;  // finite values put through every pattern
};
NumbersOutcome RunNumbers(Bytes input);

// Netlink replies. Input: sequence number and port id (32 bits each), a
// mode byte, then datagrams, each a 16-bit length and its bytes. The mode
// picks a link dump, a statistics dump or link notifications, and for a
// link dump the /proc/net/dev fallback and the per-interface facts.
struct NetlinkOutcome {
  int progress = 0;              // the parser's last DumpProgress, as an int
  std::int32_t parsed = 0;       // statistics entries, link events or comparisons
  std::uint64_t statsDumps = 0;  // the cached source's, so seeds show its own path ran
  std::uint32_t status = 0;      // the table call's status on the parsed links
  std::int32_t records = 0;      // records the reader made of that table
};
NetlinkOutcome RunNetlink(Bytes input);
// The cached table source against the plain one (mode 3 of RunNetlink):
// parsed counts the table comparisons, records the links at the end.
void RunLinkCache(Cursor& in, NetlinkOutcome& outcome);

// Stored list choice. Input: the list size (16 bits), then the text.
std::int16_t RunChoice(Bytes input);

}  // namespace orv::fuzz
