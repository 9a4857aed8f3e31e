#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace quarn::platform {

// Which files a whole-file read accepts. A folder is never read: it opens as a stream and
// reads as empty.
enum class TFileKinds {
  Regular,      // regular files only: a device or FIFO would be read forever or block
  AnyButFolder  // pipes and devices too, read to their end (`<(...)`, /dev/stdin)
};

// Reads a whole file; false, with `contents` unchanged, when it cannot be opened or read.
bool ReadWholeFile(const std::string& fileName, std::string& contents,
                   TFileKinds kinds = TFileKinds::Regular);
bool ReadWholeFile(const std::string& fileName, std::vector<uint8_t>& contents,
                   TFileKinds kinds = TFileKinds::Regular);

// Largest bot or animation file the program reads: their text is held whole while it is
// compiled or played.
inline constexpr uint64_t MaxTextFileSize = uint64_t{64} << 20;

enum class TReadStatus {
  Ok,
  Missing,  // cannot be opened, or not of the accepted kind
  Failed    // larger than the limit, or reading failed part-way: `error` says why
};

// A whole-file read with a size limit, checked before reading where the size is known.
// `error` is "Cannot read file NAME: <reason>" when Failed; `contents` changes only when Ok.
TReadStatus ReadWholeFile(const std::string& fileName, std::string& contents, uint64_t maxSize,
                          std::string& error, TFileKinds kinds = TFileKinds::Regular);

// The write call ReplaceFile uses; tests give one that fails part-way.
using TWriteCall = ssize_t (*)(int fd, const void* data, size_t size);

// Where a file is written before it takes its name.
enum class TTemporary {
  Unnamed,  // an unnamed file in the same folder, linked in when complete: a write cut short,
            // even by SIGKILL, leaves nothing; a named one where the file system has none
  Named     // a temporary name beside the file (tests of file systems without unnamed files)
};

// Whether a file is flushed to the disk before it takes its name. Either way no name ever
// shows a part-written file; an unsynced one may be lost whole, or left empty, by a crash of
// the machine soon after.
enum class TDurability {
  Synced,   // a file the user asked for (a console dump, a screenshot)
  Unsynced  // one of many the program writes at a time and can make again (sprites)
};

// Writes `contents` as the whole file. A regular file (or a new one) is written beside it
// and then renamed over it, so after a failure the old file is untouched; it keeps the old
// file's permissions, a new one gets read and write for everyone less the umask. A device or
// FIFO is written directly. False with `error` "Cannot create file NAME" or "Cannot write
// file NAME: <reason>". Safe to call from several threads at once.
bool ReplaceFile(const std::string& fileName, std::string_view contents, std::string& error,
                 TWriteCall write = nullptr, TTemporary temporary = TTemporary::Unnamed,
                 TDurability durability = TDurability::Synced);

enum class TCreateStatus { Written, Exists, Failed };

struct TCreateResult {
  TCreateStatus Status = TCreateStatus::Failed;
  std::string Reason;  // why it failed, for a message: "No such file or directory"
};

// Writes `contents` as the new file `fileName`, never over anything of that name (a file,
// folder, FIFO or link, even a dangling one: Exists). It is written beside its name and takes
// the name only once complete.
TCreateResult CreateNewFile(const std::string& fileName, std::string_view contents,
                            TWriteCall write = nullptr, TTemporary temporary = TTemporary::Unnamed);

// Why the user running the program may not write the existing file `fileName`, or "" when
// they may. Besides the system's own check, which lets the superuser write anything, the
// mode must give write permission to the class (owner, group, others) the user is in: a
// read-only file stays read-only for everyone.
std::string WriteRefusal(const std::string& fileName);

// Up to `maxBytes` from the end of the regular file `fileName`; false when it cannot be read.
bool ReadFileTail(const std::string& fileName, size_t maxBytes, std::string& tail);

// What the existing `fileName` is when it is not a regular file the program could read ("is a
// folder", "is a FIFO", "is a device", "cannot be examined: <reason>"), or "" for a regular
// file or for nothing of that name.
std::string NotRegularReason(const std::string& fileName);

// Why a file of commands the program runs for the user cannot be trusted, or "" when it can:
// it must be a regular file owned by the user running the program or by the superuser, and
// writable by no one else. Like `ownerUid`, `mode` is the file's, as stat gives them.
std::string UntrustedReason(uid_t ownerUid, mode_t mode);

}  // namespace quarn::platform
