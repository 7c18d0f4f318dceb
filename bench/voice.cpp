// Voice conversion speed and memory: wavToAmr/amrToWav on a 60-second WAV file against a bare
// loop over the speech codec on the same samples in memory, and the peak memory of one
// conversion of 1 and of 10 minutes of audio (equal when the conversion streams).
#include <benchmark/benchmark.h>
#include <opencore-amrnb/interf_dec.h>
#include <opencore-amrnb/interf_enc.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "core/platform/Log.h"
#include "core/voice/AmrDecoder.h"
#include "core/voice/AmrEncoder.h"
#include "core/voice/VoiceConverter.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRate = 8000;

fs::path g_dir;                      // the benchmark's temporary folder
std::vector<short> g_samples;        // the 60-second recording's samples
std::vector<std::uint8_t> g_frames;  // its AMR frames, without the magic

void appendLe(std::string& to, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        to.push_back(static_cast<char>(value >> (8 * i)));
    }
}

// Writes seconds of a speech-like signal (gliding pitch, formant-weighted harmonics, syllable
// loudness) as a 16-bit mono WAV file, one second at a time.
void writeVoiceWav(const fs::path& path, int seconds) {
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(seconds) * kRate * 2;
    std::string header = "RIFF";
    appendLe(header, 36 + dataBytes, 4);
    header += "WAVEfmt ";
    appendLe(header, 16, 4);
    appendLe(header, 1, 2);
    appendLe(header, 1, 2);
    appendLe(header, kRate, 4);
    appendLe(header, kRate * 2, 4);
    appendLe(header, 2, 2);
    appendLe(header, 16, 2);
    header += "data";
    appendLe(header, dataBytes, 4);
    std::ofstream out(path, std::ios::binary);
    out << header;
    double phase = 0;
    std::string second;
    for (int s = 0; s < seconds; ++s) {
        second.clear();
        for (int n = 0; n < kRate; ++n) {
            const double t = s + static_cast<double>(n) / kRate;
            const double f0 = 140 + 40 * std::sin(2 * std::numbers::pi * 0.7 * t);
            phase += 2 * std::numbers::pi * f0 / kRate;
            double v = 0;
            for (int k = 1; k * f0 < 3600; ++k) {
                const double f = k * f0;
                double gain = 0.15;
                for (double formant : {700.0, 1200.0, 2600.0}) {
                    gain += std::exp(-(f - formant) * (f - formant) / (2 * 150.0 * 150.0));
                }
                v += gain / k * std::sin(k * phase);
            }
            const double loudness = 0.55 + 0.45 * std::sin(2 * std::numbers::pi * 4 * t);
            appendLe(second, static_cast<std::uint16_t>(std::lround(6000 * loudness * v)), 2);
        }
        out << second;
    }
}

std::vector<std::uint8_t> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

void BM_WavToAmr(benchmark::State& state) {
    const std::string wav = (g_dir / "speed.wav").string();
    for (auto _ : state) {
        benchmark::DoNotOptimize(oa::VoiceConverter::wavToAmr(wav));
    }
}

void BM_BareEncode(benchmark::State& state) {
    std::vector<std::uint8_t> out(g_samples.size() / 160 * 32 + 32);
    short frame[160];
    for (auto _ : state) {
        void* encoder = Encoder_Interface_init(0);
        std::size_t used = 0;
        for (std::size_t at = 0; at + 160 <= g_samples.size(); at += 160) {
            std::copy_n(g_samples.data() + at, 160, frame);  // the codec overwrites its input
            used += static_cast<std::size_t>(
                Encoder_Interface_Encode(encoder, MR122, frame, out.data() + used, 0));
        }
        Encoder_Interface_exit(encoder);
        benchmark::DoNotOptimize(used);
    }
}

void BM_AmrToWav(benchmark::State& state) {
    const std::string amr = (g_dir / "speed.amr").string();
    for (auto _ : state) {
        benchmark::DoNotOptimize(oa::VoiceConverter::amrToWav(amr));
    }
}

void BM_BareDecode(benchmark::State& state) {
    std::vector<short> out(g_frames.size() / 32 * 160);
    for (auto _ : state) {
        void* decoder = Decoder_Interface_init();
        for (std::size_t f = 0; f + 32 <= g_frames.size(); f += 32) {
            Decoder_Interface_Decode(decoder, g_frames.data() + f, out.data() + f / 32 * 160, 0);
        }
        Decoder_Interface_exit(decoder);
        benchmark::DoNotOptimize(out.data());
    }
}

BENCHMARK(BM_WavToAmr)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_BareEncode)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_AmrToWav)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_BareDecode)->Unit(benchmark::kMillisecond)->Repetitions(5);

// Keeps the fastest repetition of each benchmark, in CPU time (steady on a shared machine) and in
// wall-clock time, for the ratios.
class BestTimes : public benchmark::ConsoleReporter {
public:
    BestTimes() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_None) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            if (run.run_type != Run::RT_Iteration) {
                continue;
            }
            const std::string name = run.benchmark_name().substr(0, run.benchmark_name().find('/'));
            keepBest(cpu, name, run.GetAdjustedCPUTime());
            keepBest(real, name, run.GetAdjustedRealTime());
        }
    }
    std::map<std::string, double> cpu;
    std::map<std::string, double> real;

private:
    static void keepBest(std::map<std::string, double>& best, const std::string& name, double t) {
        auto [it, inserted] = best.try_emplace(name, t);
        if (!inserted) {
            it->second = std::min(it->second, t);
        }
    }
};

// Runs one conversion in a fresh process of this program and returns its peak resident memory
// in KiB, or -1 when it failed.
long peakKiB(const std::string& mode, const fs::path& in, const fs::path& out) {
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    std::vector<std::string> args = {self, "--convert", mode, in.string(), out.string()};
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return -1;
    }
    return usage.ru_maxrss;
}

int convertOnly(const std::string& mode, const std::string& in, const std::string& out) {
    oa::setLogSink([](std::string_view) {});
    const int frames = mode == "encode" ? oa::AmrEncoder::encodeFile(in, out, 1, 16)
                                        : oa::AmrDecoder::decodeFile(in, out);
    return frames > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--convert") {
        return convertOnly(argv[2], argv[3], argv[4]);
    }
    benchmark::Initialize(&argc, argv);

    std::string pattern = (fs::temp_directory_path() / "oa-bench-voice-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::cerr << "cannot create a temporary folder\n";
        return 1;
    }
    g_dir = pattern;
    oa::setLogSink([](std::string_view) {});

    writeVoiceWav(g_dir / "speed.wav", 60);
    if (oa::AmrEncoder::encodeFile((g_dir / "speed.wav").string(), (g_dir / "speed.amr").string(),
                                   1, 16) != 60 * 50) {
        std::cerr << "encoding the 60-second file failed\n";
        return 1;
    }
    const auto wav = readFile(g_dir / "speed.wav");
    for (std::size_t at = 44; at + 1 < wav.size(); at += 2) {
        g_samples.push_back(static_cast<short>(wav[at] | wav[at + 1] << 8));
    }
    const auto amr = readFile(g_dir / "speed.amr");
    g_frames.assign(amr.begin() + 6, amr.end());

    BestTimes times;
    benchmark::RunSpecifiedBenchmarks(&times);

    auto ratio = [](std::map<std::string, double>& best, const std::string& bare,
                    const std::string& ours) {
        if (!best.count(bare) || !best.count(ours)) {
            return std::numeric_limits<double>::quiet_NaN();
        }
        return best[bare] / best[ours];
    };
    std::printf(
        "\nspeed of the file conversion relative to the bare codec loop (target >= 0.90),\n"
        "best of 5 repetitions, CPU time (wall-clock time):\n");
    std::printf("  wavToAmr 60 s: %.3fx (%.3fx)\n",
                ratio(times.cpu, "BM_BareEncode", "BM_WavToAmr"),
                ratio(times.real, "BM_BareEncode", "BM_WavToAmr"));
    std::printf("  amrToWav 60 s: %.3fx (%.3fx)\n",
                ratio(times.cpu, "BM_BareDecode", "BM_AmrToWav"),
                ratio(times.real, "BM_BareDecode", "BM_AmrToWav"));

    writeVoiceWav(g_dir / "one.wav", 60);
    writeVoiceWav(g_dir / "ten.wav", 600);
    const long encodeOne = peakKiB("encode", g_dir / "one.wav", g_dir / "one.amr");
    const long encodeTen = peakKiB("encode", g_dir / "ten.wav", g_dir / "ten.amr");
    const long decodeOne = peakKiB("decode", g_dir / "one.amr", g_dir / "one-out.wav");
    const long decodeTen = peakKiB("decode", g_dir / "ten.amr", g_dir / "ten-out.wav");
    std::printf("\npeak resident memory of one conversion process (KiB):\n");
    std::printf("  encode  1 min: %ld   10 min: %ld\n", encodeOne, encodeTen);
    std::printf("  decode  1 min: %ld   10 min: %ld\n", decodeOne, decodeTen);
    const bool streaming =
        encodeOne > 0 && decodeOne > 0 && encodeTen == encodeOne && decodeTen == decodeOne;
    std::printf("  streaming (same peak for 1 and 10 minutes): %s\n", streaming ? "yes" : "NO");

    std::error_code ec;
    fs::remove_all(g_dir, ec);
    return 0;
}
