# The common start of the scripts that build, sourced first with the install profiles the script
# needs (scripts/install-deps):
#   . "$(dirname "$0")/lib/preamble.sh" windows
# Name at least one: sourced without arguments, it would see the script's own.
# Strict mode, the repository root as the working folder, the profiles installed, and
#   native_dir              the Linux developer build (build/ or $LUMARQ_BUILD_DIR)
#   native_configure        configures it, without the tests and the bench, where it is not
#                           configured yet
#   native_generated_assets builds its generators' shader files, models and music, which the
#                           Windows, web and release builds copy from it
#   release_flags           the C and C++ flags of the packaged programs' Release builds
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps "$@"
native_dir=${LUMARQ_BUILD_DIR:-build}

# A first configure leaves the tests and the bench out, so that building and playing need neither
# GoogleTest nor valgrind; a tree configured already keeps its choice (scripts/test and
# scripts/bench ask for what they need explicitly).
native_configure() {
  if [ ! -f "$native_dir/CMakeCache.txt" ]; then
    cmake -S . -B "$native_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMARQ_TESTS=OFF -DLUMARQ_BENCH=OFF > /dev/null
  fi
}

# The packaged programs' compiler flags: the developer build's optimisation, so that they run the
# code the tests run, without its debug information, which the packages strip anyway and which
# makes their static links slow.
release_flags="-O2 -DNDEBUG"

native_generated_assets() {
  native_configure
  cmake --build "$native_dir" --target lumarq_run_shaders lumarq_models lumarq_music -j "$(nproc)"
}
