#pragma once
#include <cstdint>

// On-disk layout of sound set files: a binary component stream holding one wave collection.
// Only this subset is read; anything else fails the read. Integers are little-endian; a short
// string is one length byte and that many characters.
//
//   "TPF0"
//   [prefix byte >= 0xF0; if its flag 2 is set, an integer value follows]
//   short string  class name (ignored; we write "TWaveCollectionComponent")
//   short string  object name (ignored)
//   short string  "List", then kind 14 (collection)
//     per item:  [integer value: its order, ignored]  kind 1 (list start)
//                properties, each a short-string name and a value:
//                  "Name"             kind 6: u8 length + chars | kind 12: u32 length + chars
//                  "Looped"           kind 9 true | kind 8 false | kind 7 + "True"/"False"
//                  "MaxPlayingCount"  kind 2: i8 | kind 3: i16 | kind 4: i32
//                  "Wave.WAVE"        kind 10: u32 length + a RIFF WAVE image
//                0 (end of item)
//     0 (end of collection)
//   0 (end of the root's properties)   0 (end of its children)
//
// Integer values (order, prefix) are a kind byte 2, 3 or 4 followed by 1, 2 or 4 bytes.
namespace quarn::formats::soundset {

enum TValueKind : uint8_t {
  vaNull = 0,
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaString = 6,
  vaIdent = 7,
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,
  vaLString = 12,
  vaCollection = 14,
};
constexpr char Signature[] = "TPF0";
constexpr char CarrierClass[] = "TWaveCollectionComponent";
constexpr char WaveProperty[] = "Wave.WAVE";

}  // namespace quarn::formats::soundset
