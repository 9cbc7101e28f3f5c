// A floor for bench/link_vs_sx.sh: the upload's 68-byte ROM frames sent by one thread that
// blocks in read() for each reply, with no monitor thread and no hand-off. Its time per frame is
// what the pseudo-terminal set-up itself allows, beside which the upload's own cost shows.
//   upload_floor PORT IMAGE
// Prints "<ms> ms" from the controller's 'C' to the last ACK; exit status 1 on any other reply.
#include "link/TUploadFrame.h"

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::uint8_t Ack = 0x06, Ready = 'C';

bool ReadByte(int fd, std::uint8_t& b) {
    return ::read(fd, &b, 1) == 1;
}

bool WriteAll(int fd, const std::uint8_t* p, std::size_t n) {
    while (n > 0) {
        const ssize_t done = ::write(fd, p, n);
        if (done <= 0) return false;
        p += done;
        n -= static_cast<std::size_t>(done);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: upload_floor PORT IMAGE\n");
        return 2;
    }
    std::ifstream in(argv[2], std::ios::binary);
    std::vector<std::uint8_t> image((std::istreambuf_iterator<char>(in)), {});
    if (image.size() != Link::ImageBufferSize) {
        std::fprintf(stderr, "upload_floor: %s is not a %zu-byte image\n", argv[2],
                     Link::ImageBufferSize);
        return 2;
    }
    const int fd = ::open(argv[1], O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    if (fd < 0 || ::tcgetattr(fd, &tio) != 0) {
        std::perror(argv[1]);
        return 2;
    }
    ::cfmakeraw(&tio);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ::tcsetattr(fd, TCSANOW, &tio);

    std::uint8_t reply = 0;
    while (reply != Ready)
        if (!ReadByte(fd, reply)) return 1;
    const auto start = std::chrono::steady_clock::now();
    Link::TUploadFrame frame;
    for (unsigned n = 1; n <= Link::MaxRomBlockCount; ++n) {
        frame.BuildRomBlock(image.data(), n);
        if (!WriteAll(fd, frame.Bytes.data(), frame.Bytes.size())) return 1;
        do { // a 'C' sent before the first frame arrived may still be on its way
            if (!ReadByte(fd, reply)) return 1;
        } while (reply == Ready && n == 1);
        if (reply != Ack) {
            std::fprintf(stderr, "upload_floor: block %u: reply 0x%02X\n", n, reply);
            return 1;
        }
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    std::printf("%lld ms\n", static_cast<long long>(ms.count()));
    return 0;
}
