// Enumerations, sets and small integer types of the serial port component. Each
// enumeration is held in one byte; the ordinals are part of the saved settings.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace vantor {

using TSioPortInt = std::int32_t;  // 0 to 2147483647
using TSioIntW = std::int32_t;     // 0 to 2147483647

enum TSioBaudrate : std::uint8_t {
  brUser,
  br110,
  br300,
  br600,
  br1200,
  br2400,
  br4800,
  br9600,
  br14400,
  br19200,
  br38400,
  br56000,
  br57600,
  br115200,
  br128000,
  br256000
};
enum TSioParity : std::uint8_t { paNone, paOdd, paEven, paMark, paSpace };
enum TSioDatabits : std::uint8_t { db4, db5, db6, db7, db8 };
enum TSioStopbits : std::uint8_t { sb1, sb15, sb2 };
enum TSioControlDtr : std::uint8_t { dtrDisabled, dtrEnabled, dtrHandshake };
enum TSioControlRts : std::uint8_t { rtsDisabled, rtsEnabled, rtsHandshake, rtsToggle };
enum TSioCommOption : std::uint8_t { coErrorChar, coNullStrip, coParityCheck };
enum TRegRootKey : std::uint8_t { rrCURRENTUSER, rrLOCALMACHINE };
enum TSettingsLocation : std::uint8_t { slINIFile, slRegistry };

enum TSioCommEvent : std::uint8_t {
  ceBreak,
  ceCts,
  ceDsr,
  ceError,
  ceRing,
  ceRlsd,
  ceRxChar,
  ceTxEmpty,
  ceRxFlag,
  cePErr,
  ceRx80Full,
  ceEvent1,
  ceEvent2
};
constexpr int kSioCommEventCount = ceEvent2 + 1;

// A set of enumeration values: bit n for ordinal n, held in the given integer type.
template <class E, class Bits>
class TSioSet {
 public:
  constexpr TSioSet() = default;
  constexpr explicit TSioSet(Bits Value) : FBits(Value) {}
  constexpr TSioSet(std::initializer_list<E> Values) {
    for (E Value : Values)
      FBits = static_cast<Bits>(FBits | Bit(Value));
  }

  constexpr bool Contains(E Value) const { return (FBits & Bit(Value)) != 0; }
  constexpr void Include(E Value) { FBits = static_cast<Bits>(FBits | Bit(Value)); }
  constexpr void Exclude(E Value) { FBits = static_cast<Bits>(FBits & ~Bit(Value)); }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr Bits Value() const { return FBits; }
  constexpr bool operator==(const TSioSet&) const = default;

 private:
  static constexpr Bits Bit(E Value) { return static_cast<Bits>(Bits{1} << Value); }
  Bits FBits = 0;
};

using TSioCommOptions = TSioSet<TSioCommOption, std::uint8_t>;
using TSioCommEvents = TSioSet<TSioCommEvent, std::uint16_t>;

// ceError, ceRxChar and ceTxEmpty: the stored value 200.
constexpr TSioCommEvents kDefaultMonitorEvents{ceError, ceRxChar, ceTxEmpty};
static_assert(kDefaultMonitorEvents.Value() == 200);

}  // namespace vantor
