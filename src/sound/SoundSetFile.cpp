#include "sound/SoundSetFile.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "formats/ByteReader.h"
#include "formats/ByteWriter.h"
#include "sound/WaveCollection.h"

namespace quarn::sound {

using namespace formats::soundset;

namespace {

bool SameText(const std::string& a, const char* b)
{
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// Reads the subset, checking every length against what the stream still holds before using it.
class TSoundSetReader {
public:
  TSoundSetReader(TStream& stream, TWaveCollection& collection)
      : FStream(stream), FCollection(collection)
  {
  }

  void Read()
  {
    if (FStream.Remaining() > MaxSoundSetBytes)
      Fail("the file is larger than " + std::to_string(MaxSoundSetBytes >> 20) + " MiB");
    char signature[4];
    ReadBytes(signature, sizeof signature);
    if (std::memcmp(signature, Signature, 4) != 0) Fail("not a sound set (no TPF0 signature)");
    if (PeekByte() >= 0xF0) {
      const uint8_t prefix = ReadByte();
      if (prefix & 0x02) ReadInteger();
    }
    ReadShortString();  // class name
    ReadShortString();  // object name
    while (PeekByte() != vaNull) {
      const std::string name = ReadShortString();
      if (!SameText(name, "List")) Fail("unknown property '" + name + "' of the sound set");
      if (ReadByte() != vaCollection) Fail("'List' is not a collection");
      ReadCollection();
    }
    ReadByte();  // end of the root's properties
    if (ReadByte() != vaNull) Fail("child objects are not supported");
  }

private:
  [[noreturn]] void Fail(const std::string& what)
  {
    char where[48];
    std::snprintf(where, sizeof where, "Sound set read error at byte %lld: ",
                  static_cast<long long>(FStream.Position()));
    throw ESoundSetError(where + what);
  }

  void ReadBytes(void* buffer, int64_t count)
  {
    if (count > FStream.Remaining()) Fail("unexpected end of the file");
    FStream.ReadBuffer(buffer, count);
  }
  uint8_t ReadByte()
  {
    uint8_t b;
    ReadBytes(&b, 1);
    return b;
  }
  uint8_t PeekByte()
  {
    const uint8_t b = ReadByte();
    FStream.Seek(-1, soFromCurrent);
    return b;
  }
  uint32_t ReadU32()
  {
    uint8_t b[4];
    ReadBytes(b, 4);
    return formats::TByteReader(b).U32();
  }
  std::string ReadChars(int64_t count)
  {
    if (count > FStream.Remaining()) Fail("a text runs past the end of the file");
    std::string text(static_cast<size_t>(count), '\0');
    ReadBytes(text.data(), count);
    return text;
  }
  std::string ReadShortString() { return ReadChars(ReadByte()); }

  int32_t ReadIntegerOfKind(uint8_t kind)
  {
    uint8_t b[4];
    formats::TByteReader in(b);
    switch (kind) {
      case vaInt8: ReadBytes(b, 1); return static_cast<int8_t>(in.U8());
      case vaInt16: ReadBytes(b, 2); return in.I16();
      case vaInt32: ReadBytes(b, 4); return in.I32();
      default: Fail("an integer value was expected");
    }
  }
  int32_t ReadInteger() { return ReadIntegerOfKind(ReadByte()); }

  void ReadCollection()
  {
    while (PeekByte() != vaNull) {
      const uint8_t kind = PeekByte();
      if (kind == vaInt8 || kind == vaInt16 || kind == vaInt32) ReadInteger();  // item order
      if (ReadByte() != vaList) Fail("a collection item was expected");
      if (++FWaveCount > MaxSoundSetWaves)
        Fail("more than " + std::to_string(MaxSoundSetWaves) + " waves in the set");
      TWaveCollectionItem& item = FCollection.Add();
      while (PeekByte() != vaNull) ReadItemProperty(item);
      ReadByte();
    }
    ReadByte();
  }

  void ReadItemProperty(TWaveCollectionItem& item)
  {
    const std::string name = ReadShortString();
    const uint8_t kind = ReadByte();
    if (SameText(name, "Name")) {
      if (kind == vaString)
        item.SetName(ReadShortString());
      else if (kind == vaLString)
        item.SetName(ReadChars(ReadU32()));
      else
        Fail("'Name' is not a string");
    } else if (SameText(name, "Looped")) {
      if (kind == vaTrue || kind == vaFalse) {
        item.SetLooped(kind == vaTrue);
      } else if (kind == vaIdent) {
        const std::string ident = ReadShortString();
        if (SameText(ident, "True"))
          item.SetLooped(true);
        else if (SameText(ident, "False"))
          item.SetLooped(false);
        else
          Fail("'Looped' is neither True nor False");
      } else {
        Fail("'Looped' is not a boolean");
      }
    } else if (SameText(name, "MaxPlayingCount")) {
      item.SetMaxPlayingCount(ReadIntegerOfKind(kind));
    } else if (SameText(name, WaveProperty)) {
      if (kind != vaBinary) Fail("'Wave.WAVE' is not binary data");
      const int64_t length = ReadU32();
      if (length > FStream.Remaining()) Fail("the wave data runs past the end of the file");
      std::vector<uint8_t> bytes(static_cast<size_t>(length));
      ReadBytes(bytes.data(), length);
      // An empty wave is stored as no bytes at all (saving it writes nothing): read it as empty.
      if (length == 0) {
        item.Wave().Clear();
        return;
      }
      TMemoryStream waveStream(std::move(bytes));
      item.Wave().LoadFromStream(waveStream);
    } else {
      Fail("unknown property '" + name + "' of a wave");
    }
  }

  TStream& FStream;
  TWaveCollection& FCollection;
  int FWaveCount = 0;
};

class TSoundSetWriter {
public:
  explicit TSoundSetWriter(TStream& stream) : FStream(stream) {}

  void Write(const TWaveCollection& collection)
  {
    FStream.WriteBuffer(Signature, 4);
    WriteShortString(CarrierClass);
    WriteShortString("");
    WriteShortString("List");
    WriteByte(vaCollection);
    for (int i = 0; i < collection.Count(); ++i) WriteItem(collection.Items(i));
    WriteByte(vaNull);  // end of the collection
    WriteByte(vaNull);  // end of the root's properties
    WriteByte(vaNull);  // no child objects
  }

private:
  void WriteByte(uint8_t b) { FStream.WriteBuffer(&b, 1); }
  void WriteU32(uint32_t v)
  {
    std::vector<uint8_t> b;
    formats::TByteWriter(b).U32(v);
    FStream.WriteBuffer(b.data(), 4);
  }
  void WriteShortString(const std::string& text)
  {
    const size_t n = std::min<size_t>(text.size(), 255);
    WriteByte(static_cast<uint8_t>(n));
    FStream.WriteBuffer(text.data(), static_cast<int64_t>(n));
  }

  void WriteItem(const TWaveCollectionItem& item)
  {
    WriteByte(vaList);
    WriteShortString("Name");
    if (item.Name().size() <= 255) {
      WriteByte(vaString);
      WriteShortString(item.Name());
    } else {
      WriteByte(vaLString);
      WriteU32(static_cast<uint32_t>(item.Name().size()));
      FStream.WriteBuffer(item.Name().data(), static_cast<int64_t>(item.Name().size()));
    }
    WriteShortString("Looped");
    WriteByte(item.Looped() ? vaTrue : vaFalse);
    WriteShortString("MaxPlayingCount");
    WriteByte(vaInt32);
    WriteU32(static_cast<uint32_t>(item.MaxPlayingCount()));
    WriteShortString(WaveProperty);
    WriteByte(vaBinary);
    TMemoryStream wave;
    item.Wave().SaveToStream(wave);
    WriteU32(static_cast<uint32_t>(wave.Bytes().size()));
    FStream.WriteBuffer(wave.Bytes().data(), static_cast<int64_t>(wave.Bytes().size()));
    WriteByte(vaNull);
  }

  TStream& FStream;
};

}  // namespace

void ReadSoundSet(TStream& stream, TWaveCollection& collection)
{
  TSoundSetReader(stream, collection).Read();
}

void WriteSoundSet(TStream& stream, const TWaveCollection& collection)
{
  TSoundSetWriter(stream).Write(collection);
}

}  // namespace quarn::sound
