// Writes a sound set file from RIFF WAVE files, or lists what a sound set holds.
//
//   make_soundset <output.snd> [--max N] [--looped] NAME=FILE.wav ...
//       --max N and --looped apply to the next NAME=FILE only (defaults: no limit, not looped)
//   make_soundset --list <file.snd>
//   make_soundset --help
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "formats/Riff.h"
#include "sound/SoundSetFile.h"
#include "sound/Stream.h"
#include "sound/WaveCollection.h"

namespace {

using namespace quarn::sound;
namespace riff = quarn::formats::riff;

// On stderr with status 2 for a command line that cannot be used, on stdout when asked for.
int Usage(std::FILE* out = stderr)
{
  std::fprintf(out,
               "usage: make_soundset <output.snd> [--max N] [--looped] NAME=FILE.wav ...\n"
               "       make_soundset --list <file.snd>\n"
               "       make_soundset --help\n");
  return out == stderr ? 2 : 0;
}

int List(const char* fileName)
{
  TWaveCollection waves;
  waves.LoadFromFile(fileName);
  for (int i = 0; i < waves.Count(); ++i) {
    const TWaveCollectionItem& item = waves.Items(i);
    riff::TWaveFormatEx format{};
    const bool known = riff::DecodeFormat(item.Wave().Format(), item.Wave().FormatSize(), format);
    std::printf("%s: %d bytes, %u Hz, %u channel(s), %u bits, max %d%s\n", item.Name().c_str(),
                item.Wave().Size(), known ? format.nSamplesPerSec : 0, known ? format.nChannels : 0,
                known ? format.wBitsPerSample : 0, item.MaxPlayingCount(),
                item.Looped() ? ", looped" : "");
  }
  return 0;
}

int Write(int argc, char** argv)
{
  TWaveCollection waves;
  int maxPlayingCount = 0;
  bool looped = false;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--max" && i + 1 < argc) {
      maxPlayingCount = std::atoi(argv[++i]);
    } else if (arg == "--looped") {
      looped = true;
    } else if (const size_t eq = arg.find('='); eq != std::string::npos && eq > 0) {
      TWaveCollectionItem& item = waves.Add();
      item.SetName(arg.substr(0, eq));
      item.SetMaxPlayingCount(maxPlayingCount);
      item.SetLooped(looped);
      TFileStream file(arg.substr(eq + 1), TFileStream::fmOpenRead);
      item.Wave().LoadFromStream(file);
      if (item.Wave().Size() == 0 || item.Wave().FormatSize() == 0) {
        std::fprintf(stderr, "make_soundset: %s holds no sound\n", arg.substr(eq + 1).c_str());
        return 1;
      }
      maxPlayingCount = 0;
      looped = false;
    } else {
      return Usage();
    }
  }
  TFileStream out(argv[1], TFileStream::fmCreate);
  WriteSoundSet(out, waves);
  return 0;
}

}  // namespace

int main(int argc, char** argv)
{
  try {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
      return Usage(stdout);
    if (argc == 3 && std::strcmp(argv[1], "--list") == 0) return List(argv[2]);
    if (argc < 3 || argv[1][0] == '-') return Usage();
    return Write(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_soundset: %s\n", e.what());
    return 1;
  }
}
