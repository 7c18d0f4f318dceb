// Stand-in for libFuzzer where the compiler has none: runs a fuzz target over the files and
// folders given on the command line, then over inputs mutated from them or made at random.
// Deterministic for a given -seed, so a failure in the test suite reproduces.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kMaxLength = 4096;

// The input being run, kept where the crash handler can reach it without allocating.
const std::uint8_t* g_current = nullptr;
std::size_t g_currentSize = 0;

extern "C" void onCrash(int signal) {
    static const char kName[] = "fuzz-crash-input";
    const int fd = ::open(kName, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        if (g_current && g_currentSize > 0) {
            [[maybe_unused]] const ssize_t written = ::write(fd, g_current, g_currentSize);
        }
        ::close(fd);
    }
    static const char kMessage[] = "fuzz driver: crashed; input saved as ./fuzz-crash-input\n";
    [[maybe_unused]] const ssize_t told = ::write(2, kMessage, sizeof kMessage - 1);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void run(const Bytes& input) {
    g_current = input.data();
    g_currentSize = input.size();
    LLVMFuzzerTestOneInput(input.data(), input.size());
    g_current = nullptr;
    g_currentSize = 0;
}

Bytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Mutator {
public:
    explicit Mutator(std::uint64_t seed) : random_(seed) {}

    Bytes next(const std::vector<Bytes>& corpus) {
        Bytes data;
        if (!corpus.empty() && below(8) != 0) {
            data = corpus[below(corpus.size())];
        } else {
            data.resize(below(600));
            for (auto& byte : data) {
                byte = static_cast<std::uint8_t>(below(256));
            }
        }
        const std::size_t steps = 1 + below(6);
        for (std::size_t i = 0; i < steps; ++i) {
            mutate(data, corpus);
        }
        if (data.size() > kMaxLength) {
            data.resize(kMaxLength);
        }
        return data;
    }

private:
    std::size_t below(std::size_t n) {
        return n == 0 ? 0 : static_cast<std::size_t>(random_() % n);
    }

    void mutate(Bytes& data, const std::vector<Bytes>& corpus) {
        static const std::vector<Bytes> tokens = {{'#', '!', 'A', 'M', 'R', '\n'},
                                                  {'R', 'I', 'F', 'F'},
                                                  {'f', 'm', 't', ' '},
                                                  {'d', 'a', 't', 'a'},
                                                  {0x3C},
                                                  {0x04},
                                                  {0x4C},
                                                  {0xFF, 0xFF, 0xFF, 0xFF},
                                                  {0x14, 0, 0, 0},
                                                  {0x10, 0, 0, 0},
                                                  {0, 0, 0, 0x80}};
        const std::size_t at = below(data.size() + 1);
        switch (below(8)) {
            case 0:  // flip a bit
                if (!data.empty()) {
                    data[below(data.size())] ^= static_cast<std::uint8_t>(1u << below(8));
                }
                break;
            case 1:  // set a byte
                if (!data.empty()) {
                    data[below(data.size())] = static_cast<std::uint8_t>(below(256));
                }
                break;
            case 2: {  // insert a token
                const Bytes& token = tokens[below(tokens.size())];
                data.insert(data.begin() + static_cast<std::ptrdiff_t>(at), token.begin(),
                            token.end());
                break;
            }
            case 3: {  // overwrite with a token
                const Bytes& token = tokens[below(tokens.size())];
                for (std::size_t i = 0; i < token.size() && at + i < data.size(); ++i) {
                    data[at + i] = token[i];
                }
                break;
            }
            case 4: {  // erase a range
                const std::size_t length =
                    std::min(data.size() - std::min(at, data.size()), 1 + below(64));
                data.erase(data.begin() + static_cast<std::ptrdiff_t>(at),
                           data.begin() + static_cast<std::ptrdiff_t>(at + length));
                break;
            }
            case 5:  // truncate
                data.resize(below(data.size() + 1));
                break;
            case 6: {  // duplicate a range
                if (data.empty()) {
                    break;
                }
                const std::size_t from = below(data.size());
                const std::size_t length = 1 + below(std::min<std::size_t>(data.size() - from, 96));
                const Bytes copy(data.begin() + static_cast<std::ptrdiff_t>(from),
                                 data.begin() + static_cast<std::ptrdiff_t>(from + length));
                data.insert(data.begin() + static_cast<std::ptrdiff_t>(at), copy.begin(),
                            copy.end());
                break;
            }
            default: {  // splice in the tail of another input
                if (corpus.empty()) {
                    break;
                }
                const Bytes& other = corpus[below(corpus.size())];
                const std::size_t from = below(other.size() + 1);
                data.resize(at);
                data.insert(data.end(), other.begin() + static_cast<std::ptrdiff_t>(from),
                            other.end());
                break;
            }
        }
    }

    std::mt19937_64 random_;
};

}  // namespace

int main(int argc, char** argv) {
    for (int signal : {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL}) {
        std::signal(signal, onCrash);
    }
    long runs = 5000;
    std::uint64_t seed = 1;
    std::vector<Bytes> corpus;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("-runs=", 0) == 0) {
            runs = std::strtol(arg.c_str() + 6, nullptr, 10);
        } else if (arg.rfind("-seed=", 0) == 0) {
            seed = std::strtoull(arg.c_str() + 6, nullptr, 10);
        } else if (std::filesystem::is_directory(arg)) {
            std::vector<std::filesystem::path> files;
            for (const auto& entry : std::filesystem::directory_iterator(arg)) {
                if (entry.is_regular_file()) {
                    files.push_back(entry.path());
                }
            }
            std::sort(files.begin(), files.end());
            for (const auto& file : files) {
                corpus.push_back(readFile(file));
            }
        } else if (std::filesystem::is_regular_file(arg)) {
            corpus.push_back(readFile(arg));
        } else {
            std::fprintf(stderr, "fuzz driver: no such file or folder: %s\n", arg.c_str());
            return 2;
        }
    }
    for (const auto& input : corpus) {
        run(input);
    }
    Mutator mutator(seed);
    for (long i = 0; i < runs; ++i) {
        run(mutator.next(corpus));
    }
    std::printf("fuzz driver: %zu corpus inputs and %ld generated inputs ran cleanly (seed %llu)\n",
                corpus.size(), runs, static_cast<unsigned long long>(seed));
    return 0;
}
