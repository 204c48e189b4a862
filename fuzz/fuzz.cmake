# libFuzzer targets over the core, with AddressSanitizer and UBSan
# (scripts/fuzz.sh builds and runs them). Included only with -DVELMORA_FUZZ=ON,
# in a build folder of its own: the core libraries of that folder carry the
# fuzzer's coverage hooks and the sanitizers, which no other build wants.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "VELMORA_FUZZ needs clang (libFuzzer): configure with CXX=clang++")
endif()

# Any UBSan finding ends the run, so libFuzzer keeps the input that caused it.
set(VELMORA_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
foreach(library IN ITEMS velmora_platform velmora_core)
  target_compile_options(${library} PRIVATE -fsanitize=fuzzer-no-link ${VELMORA_SANITIZERS})
endforeach()

foreach(name IN ITEMS name_functions title undo_log word_list codec)
  add_executable(${name}_fuzz fuzz/${name}_fuzz.cpp)
  target_compile_options(${name}_fuzz PRIVATE -fsanitize=fuzzer ${VELMORA_SANITIZERS})
  target_link_options(${name}_fuzz PRIVATE -fsanitize=fuzzer ${VELMORA_SANITIZERS})
  target_link_libraries(${name}_fuzz PRIVATE velmora_core)
  velmora_warnings(${name}_fuzz)
  list(APPEND VELMORA_FUZZ_TARGETS ${name}_fuzz)
endforeach()
add_custom_target(velmora_fuzzers DEPENDS ${VELMORA_FUZZ_TARGETS})
