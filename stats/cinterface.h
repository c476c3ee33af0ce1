#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace orv {

// The statistics of one network interface, as one row of the interface
// table held them at one load. A plain record: every property reads back
// what was written, unchanged. Counters hold the table's unsigned 32-bit
// values bit for bit, so 2^31 and above read as negative numbers.
// LastChange is a date-time: days since midnight, 30 December 1899.
class CInterface {
 public:
  const std::u16string& InterfaceDescription() const { return m_interfaceDescription; }
  void InterfaceDescription(std::u16string strNewValue) {
    m_interfaceDescription = std::move(strNewValue);
  }
  std::int32_t OutputQueueLength() const { return m_outputQueueLength; }
  void OutputQueueLength(std::int32_t lngNewValue) { m_outputQueueLength = lngNewValue; }
  std::int32_t OutgoingErrors() const { return m_outgoingErrors; }
  void OutgoingErrors(std::int32_t lngNewValue) { m_outgoingErrors = lngNewValue; }
  std::int32_t DiscardedOutgoingPackets() const { return m_discardedOutgoingPackets; }
  void DiscardedOutgoingPackets(std::int32_t lngNewValue) {
    m_discardedOutgoingPackets = lngNewValue;
  }
  std::int32_t NonunicastPacketsSent() const { return m_nonunicastPacketsSent; }
  void NonunicastPacketsSent(std::int32_t lngNewValue) { m_nonunicastPacketsSent = lngNewValue; }
  std::int32_t UnicastPacketsSent() const { return m_unicastPacketsSent; }
  void UnicastPacketsSent(std::int32_t lngNewValue) { m_unicastPacketsSent = lngNewValue; }
  std::int32_t OctetsSent() const { return m_octetsSent; }
  void OctetsSent(std::int32_t lngNewValue) { m_octetsSent = lngNewValue; }
  std::int32_t UnknownProtocolPackets() const { return m_unknownProtocolPackets; }
  void UnknownProtocolPackets(std::int32_t lngNewValue) { m_unknownProtocolPackets = lngNewValue; }
  std::int32_t IncomingErrors() const { return m_incomingErrors; }
  void IncomingErrors(std::int32_t lngNewValue) { m_incomingErrors = lngNewValue; }
  std::int32_t DiscardedIncomingPackets() const { return m_discardedIncomingPackets; }
  void DiscardedIncomingPackets(std::int32_t lngNewValue) {
    m_discardedIncomingPackets = lngNewValue;
  }
  std::int32_t NonunicastPacketsReceived() const { return m_nonunicastPacketsReceived; }
  void NonunicastPacketsReceived(std::int32_t lngNewValue) {
    m_nonunicastPacketsReceived = lngNewValue;
  }
  std::int32_t MaximumTransmissionUnit() const { return m_maximumTransmissionUnit; }
  void MaximumTransmissionUnit(std::int32_t lngNewValue) {
    m_maximumTransmissionUnit = lngNewValue;
  }
  std::int32_t UnicastPacketsReceived() const { return m_unicastPacketsReceived; }
  void UnicastPacketsReceived(std::int32_t lngNewValue) { m_unicastPacketsReceived = lngNewValue; }
  std::int32_t OctetsReceived() const { return m_octetsReceived; }
  void OctetsReceived(std::int32_t lngNewValue) { m_octetsReceived = lngNewValue; }
  double LastChange() const { return m_lastChange; }
  void LastChange(double datNewValue) { m_lastChange = datNewValue; }
  std::int32_t OperationalStatus() const { return m_operationalStatus; }
  void OperationalStatus(std::int32_t NewValue) { m_operationalStatus = NewValue; }
  std::int32_t AdminStatus() const { return m_adminStatus; }
  void AdminStatus(std::int32_t NewValue) { m_adminStatus = NewValue; }
  const std::u16string& AdapterAddress() const { return m_adapterAddress; }
  void AdapterAddress(std::u16string strNewValue) { m_adapterAddress = std::move(strNewValue); }
  std::int32_t Speed() const { return m_speed; }
  void Speed(std::int32_t lngNewValue) { m_speed = lngNewValue; }
  std::int32_t InterfaceType() const { return m_interfaceType; }
  void InterfaceType(std::int32_t NewValue) { m_interfaceType = NewValue; }
  std::int32_t InterfaceIndex() const { return m_interfaceIndex; }
  void InterfaceIndex(std::int32_t lngNewValue) { m_interfaceIndex = lngNewValue; }
  const std::u16string& InterfaceName() const { return m_interfaceName; }
  void InterfaceName(std::u16string strNewValue) { m_interfaceName = std::move(strNewValue); }

 private:
  std::u16string m_interfaceDescription;
  std::int32_t m_outputQueueLength = 0;
  std::int32_t m_outgoingErrors = 0;
  std::int32_t m_discardedOutgoingPackets = 0;
  std::int32_t m_nonunicastPacketsSent = 0;
  std::int32_t m_unicastPacketsSent = 0;
  std::int32_t m_octetsSent = 0;
  std::int32_t m_unknownProtocolPackets = 0;
  std::int32_t m_incomingErrors = 0;
  std::int32_t m_discardedIncomingPackets = 0;
  std::int32_t m_nonunicastPacketsReceived = 0;
  std::int32_t m_maximumTransmissionUnit = 0;
  std::int32_t m_unicastPacketsReceived = 0;
  std::int32_t m_octetsReceived = 0;
  double m_lastChange = 0;
  std::int32_t m_operationalStatus = 0;
  std::int32_t m_adminStatus = 0;
  std::u16string m_adapterAddress;
  std::int32_t m_speed = 0;
  std::int32_t m_interfaceType = 0;
  std::int32_t m_interfaceIndex = 0;
  std::u16string m_interfaceName;
};

}  // namespace orv
