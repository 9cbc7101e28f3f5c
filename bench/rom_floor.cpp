// The floor for a ROM build on this machine: reads every file named on the command line in
// full and writes 458,752 bytes to the first argument. No builder can do less.
//   rom_floor OUT FILE...

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::vector<char> buffer(1 << 20);
    unsigned long sum = 0;
    for (int i = 2; i < argc; ++i) {
        std::FILE* f = std::fopen(argv[i], "rb");
        if (!f) continue;
        for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0;) sum += n;
        std::fclose(f);
    }
    std::vector<unsigned char> image(458752, static_cast<unsigned char>(sum));
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(image.data(), 1, image.size(), out) != image.size()) return 1;
    return std::fclose(out) == 0 ? 0 : 1;
}
