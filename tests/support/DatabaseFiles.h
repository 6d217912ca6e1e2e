#pragma once
// Scratch database files for tests: a path per test name and process, and removal of the file with its
// write-ahead log and shared-memory companions.

#include <unistd.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

namespace jxc::testing {

inline std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "jxc_" + name + "_" + std::to_string(::getpid()) + ".db";
}

inline void Remove(const std::string& path) {
  for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path + suffix).c_str());
}

}  // namespace jxc::testing
