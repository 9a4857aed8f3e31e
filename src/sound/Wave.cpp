#include "sound/Wave.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "sound/RiffFormat.h"

namespace quarn::sound {

namespace {

const char kAlreadyOpened[] = "Stream has already been opened";
const char kWaveInvalid[] = "Wave is invalid";
const char kFormatInvalid[] = "Format is invalid";
const char kNotOpened[] = "Stream not opend";

int BlockCount(int n)
{
  return (n + TWave::kBlockSize - 1) / TWave::kBlockSize;
}

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
  const int capacity = BlockCount(n) * kBlockSize;
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
  SetSize(static_cast<int>(size));
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
  uint8_t record[riff::kWaveFormatExSize];
  riff::EncodePCMFormat(record, channels, samplesPerSec, bitsPerSample);
  SetFormatSize(riff::kWaveFormatExSize);
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

TWaveStream::TWaveStream(TStream& stream) : FStream(stream)
{
  FStartPos = stream.Position();
}

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
  if (FOpened) throw EWaveStreamError(kAlreadyOpened);
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
  uint8_t header[riff::kHeaderSize];
  FStream.ReadBuffer(header, sizeof header);
  if (riff::GetU32(header) != riff::kRiff || riff::GetU32(header + 8) != riff::kWave)
    throw EWaveStreamError(kWaveInvalid);

  for (;;) {
    uint8_t chunk[riff::kChunkHeaderSize] = {};
    FStream.Read(chunk, sizeof chunk);
    const uint32_t id = riff::GetU32(chunk);
    const int64_t size = riff::GetU32(chunk + 4);
    if (id == 0) break;
    if (id == riff::kFmt) {
      // Check before allocating: a lying size must not reserve gigabytes.
      if (size > FStream.Remaining() || size > INT_MAX) throw EReadError();
      SetFormatSize(static_cast<int>(size));
      FStream.ReadBuffer(GetFormat(), size);
    } else if (id == riff::kData) {
      FDataSize = size;
      FDataOffset = FStream.Position();
      FStream.Seek(size, soFromCurrent);
    } else {
      FStream.Seek(size, soFromCurrent);
    }
  }
}

void TWaveStream::WriteOpen()
{
  if (GetFormatSize() == 0) throw EWaveStreamError(kFormatInvalid);
  FOpened = true;
  FStream.SetPosition(FStartPos);
  uint8_t placeholder[riff::kHeaderSize] = {};
  FStream.WriteBuffer(placeholder, sizeof placeholder);

  uint8_t chunk[riff::kChunkHeaderSize];
  riff::PutU32(chunk, riff::kFmt);
  riff::PutU32(chunk + 4, static_cast<uint32_t>(GetFormatSize()));
  FStream.WriteBuffer(chunk, sizeof chunk);
  FStream.WriteBuffer(GetFormat(), GetFormatSize());

  FDataHeaderPos = FStream.Position();
  riff::PutU32(chunk, riff::kData);
  riff::PutU32(chunk + 4, 0);
  FStream.WriteBuffer(chunk, sizeof chunk);
  FDataOffset = FStream.Position();
}

void TWaveStream::Close()
{
  if (!FOpened || FReadMode || FFinished) return;
  FFinished = true;
  const int64_t dataSize = GetSize();
  uint8_t header[riff::kHeaderSize];
  riff::PutU32(header, riff::kRiff);
  riff::PutU32(header + 4, static_cast<uint32_t>(FStream.Size() - FStartPos - 8));
  riff::PutU32(header + 8, riff::kWave);
  FStream.SetPosition(FStartPos);
  FStream.WriteBuffer(header, sizeof header);

  uint8_t chunk[riff::kChunkHeaderSize];
  riff::PutU32(chunk, riff::kData);
  riff::PutU32(chunk + 4, static_cast<uint32_t>(dataSize));
  FStream.SetPosition(FDataHeaderPos);
  FStream.WriteBuffer(chunk, sizeof chunk);
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
  if (!FOpened) throw EWaveStreamError(kNotOpened);
  FStream.SetPosition(FDataOffset + FPosition);
  return FStream.Read(buffer, count);
}

int64_t TWaveStream::WriteWave(const void* buffer, int64_t count)
{
  if (!FOpened) throw EWaveStreamError(kNotOpened);
  if (FReadMode) count = std::min(count, FDataSize - FPosition);
  FStream.SetPosition(FDataOffset + FPosition);
  return FStream.Write(buffer, count);
}

}  // namespace quarn::sound
