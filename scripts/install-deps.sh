#!/usr/bin/env bash
# Installs what the build, the tests and the benchmarks need on Debian 12 or
# Ubuntu (as root, or with sudo): compilers, CMake, GoogleTest, Google
# Benchmark, and Qt 6 for the desktop backend.
set -euo pipefail
sudo=""
[ "$(id -u)" = 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends \
  cmake make g++ clang libclang-rt-14-dev \
  libgtest-dev libgmock-dev googletest libbenchmark-dev qt6-base-dev >/dev/null
