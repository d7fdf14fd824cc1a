#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace zav::bench {

using Bytes = std::vector<uint8_t>;

inline double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// A fresh folder under the system's temporary folder.
std::string MakeTempDir(const std::string& name);
void RemoveTree(const std::string& path);

// Runs a shell command; returns its exit status (0 on success) and the wall
// time it took in seconds.
int RunTimed(const std::string& command, double* seconds);

// The archive packed from generated media-like trees of about `megabytes`.
Bytes GeneratedArchive(size_t megabytes, bool solid, uint64_t* unpackedBytes);

}  // namespace zav::bench
