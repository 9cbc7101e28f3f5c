#pragma once
// A pseudo-terminal pair for serial tests: the component opens the slave device by its path,
// the test is the peer on the master side.

#include <cstddef>
#include <string>

namespace TestSupport {

class TPtyPair {
public:
    TPtyPair(); // throws std::runtime_error when no pair can be made
    ~TPtyPair();
    TPtyPair(const TPtyPair&) = delete;
    TPtyPair& operator=(const TPtyPair&) = delete;

    const std::string& SlavePath() const { return Slave; }
    int MasterFd() const { return Master; }

    // Writes all bytes to the master side (blocking).
    void Write(const std::string& bytes);
    void Write(const void* data, std::size_t n);
    // Bytes that arrive on the master side within ms milliseconds of quiet.
    std::string ReadFor(int ms);
    // Reads until n bytes have arrived or timeoutMs has passed.
    std::string ReadExactly(std::size_t n, int timeoutMs);
    // Closes the master side: the slave sees a hang-up, as when a USB adapter is pulled out.
    void CloseMaster();

private:
    int Master = -1;
    std::string Slave;
};

// Number of descriptors the process has open.
int CountOpenDescriptors();

} // namespace TestSupport
