#pragma once
#include <string>
#include <string_view>

namespace quarn::test {

// A fresh folder for a test's files, removed with everything in it when the object goes away.
// Its name starts with `prefix` and holds the process id and the running test's name, so tests
// run side by side never share one.
class TScratchFolder {
public:
  // Made in `parent` (a path ending in '/'), the system's temporary folder when empty. Tests
  // whose files are named relative to the program's folder pass platform::ExeDir().
  explicit TScratchFolder(const std::string& prefix = "quarn_test_",
                          const std::string& parent = {});
  ~TScratchFolder();
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;

  // Writes `bytes` to the file `name`; the result is its name relative to the parent.
  std::string Write(const std::string& name, std::string_view bytes) const;

  std::string Name;  // relative to the parent
  std::string Path;  // full, with a trailing '/'
};

}  // namespace quarn::test
