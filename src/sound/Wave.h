#pragma once
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "sound/Stream.h"

namespace quarn::sound {

class EWaveStreamError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// One sound in memory: its format record exactly as read from a "fmt " chunk, and its PCM
// sample bytes.
class TWave {
public:
  // Sample memory grows and shrinks in these blocks; a loaded wave holds exactly its samples.
  static constexpr int BlockSize = 8096;

  TWave() = default;
  ~TWave() { Clear(); }
  TWave(const TWave&) = delete;
  TWave& operator=(const TWave&) = delete;

  void Clear();
  void SetSize(int n);        // n < 0 counts as 0; reallocates only when the block count changes
  void SetFormatSize(int n);  // n < 0 counts as 0; exactly n bytes
  // A null source clears; another wave is copied (assigning a wave to itself does nothing).
  void Assign(const TWave* source);

  // Reads a RIFF WAVE image. Errors propagate; the wave stays cleared or partly filled.
  void LoadFromStream(TStream& stream);
  // Writes a RIFF WAVE image; a wave without a format or without samples writes nothing.
  void SaveToStream(TStream& stream) const;

  // Sets an 18-byte integer PCM format record.
  void SetPCMFormat(int channels, int samplesPerSec, int bitsPerSample);

  uint8_t* Data() { return FData.get(); }
  const uint8_t* Data() const { return FData.get(); }
  uint8_t* Format() { return FFormat.get(); }
  const uint8_t* Format() const { return FFormat.get(); }
  int FormatSize() const { return FFormatSize; }
  int Size() const { return FSize; }
  int Capacity() const { return FCapacity; }  // bytes reserved for the samples

private:
  std::unique_ptr<uint8_t[]> FData;
  std::unique_ptr<uint8_t[]> FFormat;
  int FFormatSize = 0;
  int FSize = 0;
  int FCapacity = 0;
};

// A stream over the sample bytes of a wave container: Read, Write and Seek work within the sample
// data, whose size is GetSize (−1: unknown, reads are not limited).
class TCustomWaveStream : public TStream {
public:
  void SetSize(int64_t) override {}
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

  virtual int64_t GetFilledSize() { return -1; }
  virtual void* GetFormat() = 0;
  virtual int GetFormatSize() { return 0; }
  virtual int64_t GetSize() { return -1; }
  virtual int64_t ReadWave(void* buffer, int64_t count) { return 0; }
  virtual void SetFormatSize(int value) = 0;
  virtual int64_t WriteWave(const void* buffer, int64_t count) { return 0; }

protected:
  int64_t FPosition = 0;  // within the sample data
};

// Keeps the format record in a buffer of its own.
class TCustomWaveStream2 : public TCustomWaveStream {
public:
  void* GetFormat() override { return FFormatBuffer.get(); }
  int GetFormatSize() override { return FFormatBufferSize; }
  void SetFormatSize(int value) override;

private:
  std::unique_ptr<uint8_t[]> FFormatBuffer;
  int FFormatBufferSize = 0;
};

// The RIFF WAVE container over a byte stream (not owned), starting at the stream's position when
// this object is made. Opened once, for reading or for writing; a written file is finished by
// Close, or at the latest when the object is destroyed.
class TWaveStream : public TCustomWaveStream2 {
public:
  explicit TWaveStream(TStream& stream);
  ~TWaveStream() override;
  TWaveStream(const TWaveStream&) = delete;
  TWaveStream& operator=(const TWaveStream&) = delete;

  void Open(bool forWriting);
  // Finishes a file opened for writing: fills in the RIFF and "data" sizes. Safe to call twice.
  void Close();

  int64_t GetSize() override;
  int64_t ReadWave(void* buffer, int64_t count) override;
  int64_t WriteWave(const void* buffer, int64_t count) override;

  bool Opened() const { return FOpened; }
  bool ReadMode() const { return FReadMode; }
  int64_t DataOffset() const { return FDataOffset; }

private:
  void ReadOpen();
  // After a chunk of odd size: steps over its pad byte, unless a chunk header follows at once.
  void SkipPadByte();
  void WriteOpen();

  int64_t FDataOffset = 0;
  int64_t FDataHeaderPos = 0;
  bool FOpened = false;
  int64_t FStartPos = 0;
  bool FReadMode = false;
  int64_t FDataSize = 0;  // size of the "data" chunk as stated (read files)
  bool FFinished = false;
  TStream& FStream;
};

}  // namespace quarn::sound
