#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace quarn::sound {

// Error classes of the sound device layer. The device errors form one family so that start-up can
// discard exactly "no sound device" and let every other fault through.
class EDirectXError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};
class EDirectSoundError : public EDirectXError {
public:
  using EDirectXError::EDirectXError;
};
class EDirectSoundBufferError : public EDirectSoundError {
public:
  using EDirectSoundError::EDirectSoundError;
};
class EDXSoundError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// "%s cannot be initialized" and friends: one fixed text with the subject in place of %s.
std::string FormatMessage(const char* pattern, const char* subject);

// Result codes of the device and buffer calls (0: success).
namespace dsresult {
constexpr int32_t DS_OK = 0;
constexpr int32_t DSERR_GENERIC = static_cast<int32_t>(0x80004005);
constexpr int32_t DSERR_INVALIDPARAM = static_cast<int32_t>(0x80070057);
constexpr int32_t DSERR_OUTOFMEMORY = static_cast<int32_t>(0x8007000E);
constexpr int32_t DSERR_INVALIDCALL = static_cast<int32_t>(0x88780032);
constexpr int32_t DSERR_BADFORMAT = static_cast<int32_t>(0x88780064);
constexpr int32_t DSERR_NODRIVER = static_cast<int32_t>(0x88780078);
constexpr int32_t DSERR_BUFFERLOST = static_cast<int32_t>(0x88780096);
}  // namespace dsresult

// Keeps the result of the last device call. Storing a non-zero result calls Check, which by
// default does nothing: buffer calls report failures only through this result.
class TDirectX {
public:
  virtual ~TDirectX() = default;
  int32_t DXResult() const { return FDXResult; }
  void SetDXResult(int32_t value)
  {
    FDXResult = value;
    if (value != 0) Check();
  }

protected:
  virtual void Check() {}

private:
  int32_t FDXResult = 0;
};

}  // namespace quarn::sound
