// Compares two folders of raw float renders file by file: prints, per file, how many samples
// differ and the largest difference, and fails unless every file is bit-identical. Both builds
// run the same float operations (SSE2, no contraction), so any difference is a regression.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<float> ReadFloats(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    return samples;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: compare-renders EXPECTED_DIR ACTUAL_DIR\n");
        return 2;
    }
    int files = 0, failures = 0;
    double worst = 0.0;
    for (const auto& entry : fs::directory_iterator(argv[1])) {
        if (entry.path().extension() != ".f32") continue;
        ++files;
        const fs::path other = fs::path(argv[2]) / entry.path().filename();
        if (!fs::exists(other)) {
            std::printf("%s: missing in %s\n", entry.path().filename().c_str(), argv[2]);
            ++failures;
            continue;
        }
        const std::vector<float> a = ReadFloats(entry.path());
        const std::vector<float> b = ReadFloats(other);
        if (a.size() != b.size()) {
            std::printf("%s: %zu against %zu samples\n", entry.path().filename().c_str(), a.size(), b.size());
            ++failures;
            continue;
        }
        size_t differing = 0;
        double largest = 0.0;
        for (size_t i = 0; i < a.size(); ++i) {
            if (std::memcmp(&a[i], &b[i], sizeof(float)) != 0) {
                ++differing;
                const double difference = std::fabs(static_cast<double>(a[i]) - static_cast<double>(b[i]));
                if (!(difference <= largest)) largest = difference;
            }
        }
        if (largest > worst || std::isnan(largest)) worst = largest;
        std::printf("%s: %zu samples, %s (%zu differ, largest difference %.3g)\n",
                    entry.path().filename().c_str(), a.size(),
                    differing == 0 ? "bit-identical" : "not bit-identical", differing, largest);
        if (differing != 0) ++failures;
    }
    std::printf("%d files compared, largest difference %.3g\n", files, worst);
    if (files == 0) {
        std::printf("no renders in %s\n", argv[1]);
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
