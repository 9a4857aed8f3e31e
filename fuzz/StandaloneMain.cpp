// Runs a fuzz target without libFuzzer: every sample file given on the command line (or every
// file in a given directory) as it is, then --runs=N deterministic mutations of them (bit
// flips, byte changes, truncations, insertions, splices). Same inputs on every run, so a
// failure here reproduces exactly.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

void AddSampleFile(const std::filesystem::path& path, std::vector<Bytes>& samples)
{
  std::ifstream in(path, std::ios::binary);
  samples.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes Mutate(const std::vector<Bytes>& samples, std::mt19937& rng)
{
  Bytes data = samples[rng() % samples.size()];
  const int edits = 1 + static_cast<int>(rng() % 8);
  for (int e = 0; e < edits; ++e) {
    const size_t n = data.size();
    switch (rng() % 7) {
      case 0:
        if (n) data[rng() % n] ^= static_cast<uint8_t>(1u << (rng() % 8));
        break;
      case 1:
        if (n) data[rng() % n] = static_cast<uint8_t>(rng());
        break;
      case 2:
        if (n) data.resize(rng() % n);
        break;
      case 3:
        data.insert(data.begin() + static_cast<long>(n ? rng() % (n + 1) : 0),
                    static_cast<uint8_t>(rng()));
        break;
      case 4: {  // interesting values: sizes and counts near the limits
        static const uint32_t values[] = {0,      1,      0x7f,       0x80,       0xff,
                                          0x7fff, 0xffff, 0x7fffffff, 0x80000000, 0xffffffff};
        if (n >= 4) {
          const uint32_t v = values[rng() % std::size(values)];
          std::memcpy(&data[rng() % (n - 3)], &v, 4);
        }
        break;
      }
      case 5: {  // splice a piece of another sample
        const Bytes& other = samples[rng() % samples.size()];
        if (!other.empty()) {
          size_t from = rng() % other.size(), len = 1 + rng() % (other.size() - from);
          size_t at = n ? rng() % (n + 1) : 0;
          data.insert(data.begin() + static_cast<long>(at), other.begin() + static_cast<long>(from),
                      other.begin() + static_cast<long>(from + len));
        }
        break;
      }
      default:
        if (n > 1) {
          size_t at = rng() % n;
          data.erase(data.begin() + static_cast<long>(at));
        }
        break;
    }
  }
  return data;
}

}  // namespace

int main(int argc, char** argv)
{
  long runs = 1000;
  std::vector<Bytes> samples;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--runs=", 7) == 0) {
      runs = std::atol(argv[i] + 7);
    } else if (std::filesystem::is_directory(argv[i])) {
      for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
        if (entry.is_regular_file()) AddSampleFile(entry.path(), samples);
    } else {
      AddSampleFile(argv[i], samples);
    }
  }
  if (samples.empty()) samples.push_back(Bytes{});
  for (const Bytes& sample : samples) LLVMFuzzerTestOneInput(sample.data(), sample.size());

  std::mt19937 rng(12345);
  for (long r = 0; r < runs; ++r) {
    const Bytes input = Mutate(samples, rng);
    LLVMFuzzerTestOneInput(input.data(), input.size());
  }
  std::printf("%zu samples, %ld mutated inputs: no crash\n", samples.size(), runs);
  return 0;
}
