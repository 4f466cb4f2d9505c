// Decode every PNG in a folder the way the program does at start-up
// (stbi_load_from_memory, 4 channels) and report total bytes and time.
//   g++ -O2 -o bench_decode bench_decode.cpp && ./bench_decode DIR [repeats]
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR [repeats]\n", argv[0]);
        return 2;
    }
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    std::vector<std::vector<unsigned char>> files;
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(argv[1])) {
        if (e.path().extension() != ".png") continue;
        std::ifstream in(e.path(), std::ios::binary);
        files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        names.push_back(e.path().filename().string());
    }
    size_t bytes = 0;
    for (const auto& f : files) bytes += f.size();
    // Best of N runs: the first run also pays for page faults on fresh buffers.
    double best = 1e30;
    size_t pixels = 0;
    for (int r = 0; r < repeats; ++r) {
        pixels = 0;
        auto t0 = std::chrono::steady_clock::now();
        for (size_t i = 0; i < files.size(); ++i) {
            int w = 0, h = 0, n = 0;
            unsigned char* px = stbi_load_from_memory(files[i].data(), static_cast<int>(files[i].size()),
                                                      &w, &h, &n, 4);
            if (!px) {
                std::fprintf(stderr, "%s: %s\n", names[i].c_str(), stbi_failure_reason());
                return 1;
            }
            pixels += static_cast<size_t>(w) * h;
            stbi_image_free(px);
        }
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        best = std::min(best, ms);
    }
    std::printf("files %zu  bytes %zu  pixels %zu  decode_ms %.1f\n", files.size(), bytes, pixels, best);
    return 0;
}
