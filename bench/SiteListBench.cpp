// Throughput of reading the site list file: decryption alone, and decryption followed by
// parsing, over a generated list of 100,000 sites. Prints the ratio of the two at the end.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "sites/SiteListCipher.h"
#include "sites/SiteListFormat.h"

namespace vp {
namespace {

constexpr int kSiteCount = 100000;
constexpr int kCategoryCount = 12;

std::string MakePlainList() {
    SiteCategoryList categories;
    for (int i = 0; i < kCategoryCount; ++i) {
        SiteCategory category;
        category.name = "Category number " + std::to_string(i);
        categories.push_back(category);
    }
    SiteCatalogue catalogue;
    for (int id = 0; id < kSiteCount; ++id) {
        SiteRecord record;
        record.name = "Search site " + std::to_string(id);
        record.url = "https://site" + std::to_string(id) + ".example.com/search?lang=en&q=";
        record.category = id % kCategoryCount;
        record.reservedFlag = id % 3 == 0;
        catalogue.Insert(id, record);
    }
    return FormatSiteList(catalogue, categories);
}

const std::string& PlainList() {
    static const std::string text = MakePlainList();
    return text;
}

const std::vector<std::uint8_t>& EncryptedList() {
    static const std::vector<std::uint8_t> bytes = [] {
        std::vector<std::uint8_t> buffer(PlainList().begin(), PlainList().end());
        SiteListCipher().Encrypt(buffer.data(), buffer.size());
        return buffer;
    }();
    return bytes;
}

// Each iteration starts from the encrypted bytes, as a file read into a buffer would.
void Decrypt(benchmark::State& state) {
    const std::vector<std::uint8_t>& encrypted = EncryptedList();
    std::vector<std::uint8_t> buffer(encrypted.size());
    for (auto _ : state) {
        std::copy(encrypted.begin(), encrypted.end(), buffer.begin());
        SiteListCipher().Decrypt(buffer.data(), buffer.size());
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(encrypted.size()));
}

void DecryptAndParse(benchmark::State& state) {
    const std::vector<std::uint8_t>& encrypted = EncryptedList();
    std::vector<std::uint8_t> buffer(encrypted.size());
    SiteCatalogue catalogue;
    for (auto _ : state) {
        std::copy(encrypted.begin(), encrypted.end(), buffer.begin());
        SiteListCipher().Decrypt(buffer.data(), buffer.size());
        const std::string_view text(reinterpret_cast<const char*>(buffer.data()), buffer.size());
        if (!ParseSiteList(text, catalogue, nullptr) || catalogue.Size() != kSiteCount) {
            state.SkipWithError("the generated list did not read back");
            break;
        }
        benchmark::DoNotOptimize(catalogue);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(encrypted.size()));
}

BENCHMARK(Decrypt)->Unit(benchmark::kMillisecond);
BENCHMARK(DecryptAndParse)->Unit(benchmark::kMillisecond);

// Remembers each benchmark's throughput while the console shows the usual table (without
// colours, so that logs stay readable).
class ThroughputReporter : public benchmark::ConsoleReporter {
public:
    ThroughputReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const auto bytesPerSecond = run.counters.find("bytes_per_second");
            if (run.run_type == Run::RT_Iteration && !run.error_occurred &&
                bytesPerSecond != run.counters.end()) {
                throughput[run.run_name.function_name] = bytesPerSecond->second.value;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> throughput;
};

}  // namespace
}  // namespace vp

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    std::printf("Site list: %d sites, %zu bytes\n", vp::kSiteCount, vp::EncryptedList().size());
    vp::ThroughputReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto decrypt = reporter.throughput.find("Decrypt");
    const auto decryptAndParse = reporter.throughput.find("DecryptAndParse");
    if (decrypt != reporter.throughput.end() && decryptAndParse != reporter.throughput.end() &&
        decryptAndParse->second > 0) {
        constexpr double kMebibyte = 1024.0 * 1024.0;  // the unit of the table's M/s
        std::printf(
            "Decrypt %.1f MiB/s, decrypt and parse %.1f MiB/s: decryption alone is %.2f "
            "times as fast\n",
            decrypt->second / kMebibyte, decryptAndParse->second / kMebibyte,
            decrypt->second / decryptAndParse->second);
    }
    return 0;
}
