#pragma once

#include <memory>

#include "stats/cinterfaces.h"

namespace orv {

// What the window needs of an interface-table reader: a fresh load on
// every read of Interfaces, and the byte totals of the last load.
class InterfaceReader {
 public:
  virtual ~InterfaceReader() = default;

  // Reloads the table and returns the new collection.
  virtual std::shared_ptr<CInterfaces> Interfaces() = 0;
  // Totals of the last load, summed modulo 2^32 and held as signed 32-bit
  // values; 0 before the first load.
  virtual double BytesReceived() const = 0;
  virtual double BytesSent() const = 0;
};

}  // namespace orv
