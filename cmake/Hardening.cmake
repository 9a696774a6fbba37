# Hardening builds: AddressSanitizer and UBSan (LUMARQ_SANITIZE) and libFuzzer coverage
# (LUMARQ_FUZZ, clang only), used by scripts/sanitize and scripts/fuzz in trees of their own.
option(LUMARQ_SANITIZE "Build the engine and everything linking it with AddressSanitizer and UBSan" OFF)
option(LUMARQ_FUZZ "Build the libFuzzer targets (needs clang; implies LUMARQ_SANITIZE)" OFF)

if(LUMARQ_FUZZ AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "LUMARQ_FUZZ needs clang: configure with CC=clang CXX=clang++")
endif()

set(LUMARQ_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)

# Instruments a library that the hardening builds test. PUBLIC, so every program linking it gets
# the sanitizer runtimes; the asset generators stay uninstrumented and fast.
function(lumarq_harden target)
  if(LUMARQ_SANITIZE OR LUMARQ_FUZZ)
    target_compile_options(${target} PUBLIC ${LUMARQ_SANITIZER_FLAGS})
    target_link_options(${target} PUBLIC ${LUMARQ_SANITIZER_FLAGS})
  endif()
  if(LUMARQ_FUZZ)
    # Coverage for the loaders under test; the fuzzer's main comes in with the fuzz targets' link.
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()
