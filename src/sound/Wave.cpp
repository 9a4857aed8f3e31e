#include "sound/Wave.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "formats/ByteReader.h"
#include "formats/ByteWriter.h"
#include "formats/Riff.h"

namespace quarn::sound {

namespace {

namespace riff = formats::riff;

const char AlreadyOpened[] = "Stream has already been opened";
const char WaveInvalid[] = "Wave is invalid";
const char FormatInvalid[] = "Format is invalid";
const char NotOpened[] = "Stream not opend";

void WriteChunkHeader(TStream& stream, uint32_t id, uint32_t size)
{
  std::vector<uint8_t> header;
  formats::TByteWriter w(header);
  w.U32(id);
  w.U32(size);
  stream.WriteBuffer(header.data(), static_cast<int64_t>(header.size()));
}

int BlockCount(int n) { return (n + TWave::BlockSize - 1) / TWave::BlockSize; }

}  // namespace

// ---- TWave

void TWave::Clear()
{
  FData.reset();
  FFormat.reset();
  FSize = FFormatSize = FCapacity = 0;
}

void TWave::SetSize(int n)
{
  n = std::max(n, 0);
  const int capacity = BlockCount(n) * BlockSize;
  if (capacity != FCapacity) {
    std::unique_ptr<uint8_t[]> data;
    if (capacity > 0) {
      data = std::make_unique<uint8_t[]>(static_cast<size_t>(capacity));
      // memcpy from a null pointer is undefined even for no bytes.
      if (const int kept = std::min(FSize, n); kept > 0)
        std::memcpy(data.get(), FData.get(), static_cast<size_t>(kept));
    }
    FData = std::move(data);
    FCapacity = capacity;
  }
  FSize = n;
}

void TWave::SetFormatSize(int n)
{
  n = std::max(n, 0);
  std::unique_ptr<uint8_t[]> format;
  if (n > 0) {
    format = std::make_unique<uint8_t[]>(static_cast<size_t>(n));
    if (const int kept = std::min(FFormatSize, n); kept > 0)
      std::memcpy(format.get(), FFormat.get(), static_cast<size_t>(kept));
  }
  FFormat = std::move(format);
  FFormatSize = n;
}

void TWave::Assign(const TWave* source)
{
  if (!source) {
    Clear();
    return;
  }
  if (source == this) return;
  SetSize(source->FSize);
  SetFormatSize(source->FFormatSize);
  if (FSize > 0) std::memcpy(FData.get(), source->FData.get(), static_cast<size_t>(FSize));
  if (FFormatSize > 0)
    std::memcpy(FFormat.get(), source->FFormat.get(), static_cast<size_t>(FFormatSize));
}

void TWave::LoadFromStream(TStream& stream)
{
  Clear();
  TWaveStream waveStream(stream);
  waveStream.Open(false);
  SetFormatSize(waveStream.GetFormatSize());
  if (FFormatSize > 0)
    std::memcpy(FFormat.get(), waveStream.GetFormat(), static_cast<size_t>(FFormatSize));
  // A "data" chunk may claim more than the file holds (up to 4 GB): fail as the short read would,
  // before reserving memory for bytes that are not there.
  const int64_t size = waveStream.GetSize();
  if (size > INT_MAX || size > std::max<int64_t>(0, stream.Size() - waveStream.DataOffset()))
    throw EReadError();
  // Exactly the bytes read: a set of many short waves must not hold a block for each.
  FData = size > 0 ? std::make_unique<uint8_t[]>(static_cast<size_t>(size)) : nullptr;
  FSize = FCapacity = static_cast<int>(size);
  waveStream.ReadBuffer(FData.get(), FSize);
}

void TWave::SaveToStream(TStream& stream) const
{
  if (FFormatSize <= 0 || FSize <= 0) return;
  TWaveStream waveStream(stream);
  waveStream.SetFormatSize(FFormatSize);
  std::memcpy(waveStream.GetFormat(), FFormat.get(), static_cast<size_t>(FFormatSize));
  waveStream.Open(true);
  waveStream.WriteBuffer(FData.get(), FSize);
  waveStream.Close();
}

void TWave::SetPCMFormat(int channels, int samplesPerSec, int bitsPerSample)
{
  uint8_t record[riff::WaveFormatExSize];
  riff::EncodePCMFormat(record, channels, samplesPerSec, bitsPerSample);
  SetFormatSize(riff::WaveFormatExSize);
  std::memcpy(FFormat.get(), record, sizeof record);
}

// ---- TCustomWaveStream

int64_t TCustomWaveStream::Read(void* buffer, int64_t count)
{
  const int64_t size = GetSize();
  if (size >= 0) {
    FPosition = std::min(FPosition, size);
    count = std::min(count, size - FPosition);
  }
  const int64_t done = ReadWave(buffer, count);
  FPosition += std::max<int64_t>(done, 0);
  return done;
}

int64_t TCustomWaveStream::Write(const void* buffer, int64_t count)
{
  const int64_t size = GetSize();
  if (size >= 0) FPosition = std::min(FPosition, size);
  const int64_t done = WriteWave(buffer, count);
  FPosition += std::max<int64_t>(done, 0);
  return done;
}

int64_t TCustomWaveStream::Seek(int64_t offset, TSeekOrigin origin)
{
  const int64_t size = GetSize();
  switch (origin) {
    case soFromBeginning: FPosition = offset; break;
    case soFromCurrent: FPosition += offset; break;
    case soFromEnd: FPosition = size + offset; break;
  }
  FPosition = std::clamp<int64_t>(FPosition, 0, std::max<int64_t>(size, 0));
  return FPosition;
}

void TCustomWaveStream2::SetFormatSize(int value)
{
  value = std::max(value, 0);
  FFormatBuffer = value > 0 ? std::make_unique<uint8_t[]>(static_cast<size_t>(value)) : nullptr;
  FFormatBufferSize = value;
}

// ---- TWaveStream

TWaveStream::TWaveStream(TStream& stream) : FStream(stream) { FStartPos = stream.Position(); }

TWaveStream::~TWaveStream()
{
  try {
    Close();
  } catch (...) {
    // A destructor cannot report; callers that care call Close themselves.
  }
}

void TWaveStream::Open(bool forWriting)
{
  if (FOpened) throw EWaveStreamError(AlreadyOpened);
  if (forWriting)
    WriteOpen();
  else
    ReadOpen();
}

void TWaveStream::ReadOpen()
{
  FOpened = true;
  FReadMode = true;
  FStream.SetPosition(FStartPos);
  uint8_t header[riff::HeaderSize];
  FStream.ReadBuffer(header, sizeof header);
  formats::TByteReader headerIn(header);
  if (headerIn.U32At(0) != riff::Riff || headerIn.U32At(8) != riff::Wave)
    throw EWaveStreamError(WaveInvalid);

  for (;;) {
    uint8_t chunk[riff::ChunkHeaderSize] = {};
    FStream.Read(chunk, sizeof chunk);
    formats::TByteReader chunkIn(chunk);
    const uint32_t id = chunkIn.U32();
    const int64_t size = chunkIn.U32();
    if (id == 0) break;
    if (id == riff::Fmt) {
      // Check before allocating: a lying size must not reserve gigabytes.
      if (size > FStream.Remaining() || size > INT_MAX) throw EReadError();
      SetFormatSize(static_cast<int>(size));
      FStream.ReadBuffer(GetFormat(), size);
    } else if (id == riff::Data) {
      FDataSize = size;
      FDataOffset = FStream.Position();
      FStream.Seek(size, soFromCurrent);
    } else {
      FStream.Seek(size, soFromCurrent);
    }
    if (size % 2 == 1) SkipPadByte();
  }
}

void TWaveStream::SkipPadByte()
{
  // Files written without the pad byte have the next chunk header right here; keep reading them.
  const int64_t here = FStream.Position();
  uint8_t next[4] = {};
  const bool headerFollows = FStream.Read(next, sizeof next) == sizeof next &&
                             riff::IsChunkId(formats::TByteReader(next).U32());
  FStream.SetPosition(here + (headerFollows ? 0 : 1));
}

void TWaveStream::WriteOpen()
{
  if (GetFormatSize() == 0) throw EWaveStreamError(FormatInvalid);
  FOpened = true;
  FStream.SetPosition(FStartPos);
  uint8_t placeholder[riff::HeaderSize] = {};
  FStream.WriteBuffer(placeholder, sizeof placeholder);

  WriteChunkHeader(FStream, riff::Fmt, static_cast<uint32_t>(GetFormatSize()));
  FStream.WriteBuffer(GetFormat(), GetFormatSize());

  FDataHeaderPos = FStream.Position();
  WriteChunkHeader(FStream, riff::Data, 0);
  FDataOffset = FStream.Position();
}

void TWaveStream::Close()
{
  if (!FOpened || FReadMode || FFinished) return;
  FFinished = true;
  const int64_t dataSize = GetSize();
  std::vector<uint8_t> header;
  formats::TByteWriter w(header);
  w.U32(riff::Riff);
  w.U32(static_cast<uint32_t>(FStream.Size() - FStartPos - 8));
  w.U32(riff::Wave);
  FStream.SetPosition(FStartPos);
  FStream.WriteBuffer(header.data(), static_cast<int64_t>(header.size()));

  FStream.SetPosition(FDataHeaderPos);
  WriteChunkHeader(FStream, riff::Data, static_cast<uint32_t>(dataSize));
  FStream.Seek(0, soFromEnd);
}

int64_t TWaveStream::GetSize()
{
  if (!FOpened) return 0;
  if (FReadMode) return FDataSize;
  return FStream.Size() - FDataOffset;
}

int64_t TWaveStream::ReadWave(void* buffer, int64_t count)
{
  if (!FOpened) throw EWaveStreamError(NotOpened);
  FStream.SetPosition(FDataOffset + FPosition);
  return FStream.Read(buffer, count);
}

int64_t TWaveStream::WriteWave(const void* buffer, int64_t count)
{
  if (!FOpened) throw EWaveStreamError(NotOpened);
  if (FReadMode) count = std::min(count, FDataSize - FPosition);
  FStream.SetPosition(FDataOffset + FPosition);
  return FStream.Write(buffer, count);
}

}  // namespace quarn::sound
